// Appending to and counting in bmcsim.log. Lines end LF on every platform.
#include "simlog.h"

#include <cstdio>
#include <cstring>

namespace {

const char kLogFile[] = "bmcsim.log";

}  // namespace

int LogCall(const char* tag, int argc, char** argv) {
  std::FILE* log = std::fopen(kLogFile, "ab");
  if (log == nullptr) return -1;
  std::fputs(tag, log);
  for (int i = 1; i < argc; ++i) std::fprintf(log, " [%s]", argv[i]);
  std::fputc('\n', log);
  return std::fclose(log) == 0 ? 0 : -1;
}

int LogText(const char* tag, const char* text) {
  std::FILE* log = std::fopen(kLogFile, "ab");
  if (log == nullptr) return -1;
  std::fprintf(log, "%s %s\n", tag, text);
  return std::fclose(log) == 0 ? 0 : -1;
}

int CountLogLines(const char* head, const char* part) {
  std::FILE* log = std::fopen(kLogFile, "rb");
  if (log == nullptr) return 0;
  char line[4096];
  int count = 0;
  int atLineStart = 1;
  while (std::fgets(line, sizeof line, log)) {
    if (atLineStart && std::strncmp(line, head, std::strlen(head)) == 0 &&
        std::strstr(line, part) != nullptr) {
      ++count;
    }
    size_t length = std::strlen(line);
    atLineStart = length > 0 && line[length - 1] == '\n';
  }
  std::fclose(log);
  return count;
}
