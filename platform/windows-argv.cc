// The flash command line is written for the Windows runtime's argument
// rules: "" is an empty argument, quotes group blanks, and backslashes are
// literal unless they stand before a quote.
#include "platform/windows-argv.h"

namespace {

struct Writer {
  char* out;
  int size;
  int used;
};

bool Put(Writer* writer, char byte) {
  if (writer->used >= writer->size) return false;
  writer->out[writer->used++] = byte;
  return true;
}

bool IsBlank(char byte) { return byte == ' ' || byte == '\t'; }

// The program name: up to the next quote when quoted, else up to a blank.
// Backslashes are never special in it.
const char* CopyProgramName(const char* read, Writer* writer, bool* ok) {
  if (*read == '"') {
    for (++read; *read != '\0' && *read != '"'; ++read) *ok &= Put(writer, *read);
    if (*read == '"') ++read;
  } else {
    for (; *read != '\0' && !IsBlank(*read); ++read) *ok &= Put(writer, *read);
  }
  return read;
}

// One argument after the program name.
const char* CopyArgument(const char* read, Writer* writer, bool* ok) {
  bool quoted = false;
  for (;;) {
    int slashes = 0;
    while (read[slashes] == '\\') ++slashes;
    if (slashes > 0) {
      bool beforeQuote = read[slashes] == '"';
      int literal = beforeQuote ? slashes / 2 : slashes;
      for (int i = 0; i < literal; ++i) *ok &= Put(writer, '\\');
      read += slashes;
      if (!beforeQuote) continue;
      if (slashes % 2 == 1) {
        *ok &= Put(writer, '"');
        ++read;
        continue;
      }
    }
    if (*read == '"') {
      if (quoted && read[1] == '"') {
        *ok &= Put(writer, '"');
        read += 2;
        continue;
      }
      quoted = !quoted;
      ++read;
      continue;
    }
    if (*read == '\0' || (!quoted && IsBlank(*read))) return read;
    *ok &= Put(writer, *read++);
  }
}

}  // namespace

int SplitWindowsCommandLine(const char* line, char* out, int outSize, char** argv, int maxArgs) {
  Writer writer = {out, outSize, 0};
  bool ok = maxArgs >= 2;
  const char* read = line;
  while (IsBlank(*read)) ++read;
  if (*read == '\0' || !ok) return -1;
  int argc = 0;
  argv[argc++] = out;
  read = CopyProgramName(read, &writer, &ok);
  ok &= Put(&writer, '\0');
  for (;;) {
    while (IsBlank(*read)) ++read;
    if (*read == '\0') break;
    if (argc >= maxArgs - 1) return -1;
    argv[argc++] = out + writer.used;
    read = CopyArgument(read, &writer, &ok);
    ok &= Put(&writer, '\0');
  }
  argv[argc] = nullptr;
  return ok ? argc : -1;
}
