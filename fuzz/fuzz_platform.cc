// The platform of the fuzz build: the console reads the fuzzer's bytes and
// writes nowhere, files are real (in a scratch folder), and nothing is run.
// A target that reaches a command, a thread or a child has gone astray.
#include <ftw.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "platform/platform.h"

namespace {

const std::uint8_t* g_input = nullptr;
std::size_t g_inputSize = 0;
std::size_t g_inputAt = 0;
char g_scratchFolder[4096];

[[noreturn]] void Unexpected(const char* what) {
  std::fprintf(stderr, "fuzz platform: unexpected %s\n", what);
  std::abort();
}

int RemoveEntry(const char* path, const struct stat* /*info*/, int /*flag*/, struct FTW* /*at*/) {
  return std::remove(path);
}

void RemoveScratchFolder() {
  if (g_scratchFolder[0] != '\0') nftw(g_scratchFolder, RemoveEntry, 8, FTW_DEPTH | FTW_PHYS);
}

}  // namespace

void FuzzCheckFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
  std::abort();
}

void ServeConsoleInput(const std::uint8_t* data, std::size_t size) {
  g_input = data;
  g_inputSize = size;
  g_inputAt = 0;
}

std::size_t ConsoleInputPosition() { return g_inputAt; }

const char* MakeScratchFile(const char* name) {
  static char path[sizeof g_scratchFolder + 64];
  const char* temp = std::getenv("TMPDIR");
  std::snprintf(g_scratchFolder, sizeof g_scratchFolder, "%s/bmcupdate-fuzz-XXXXXX",
                temp != nullptr && temp[0] != '\0' ? temp : "/tmp");
  if (mkdtemp(g_scratchFolder) == nullptr) Unexpected("failure to make the scratch folder");
  std::atexit(RemoveScratchFolder);
  int length = std::snprintf(path, sizeof path, "%s/%s", g_scratchFolder, name);
  if (length < 0 || length >= static_cast<int>(sizeof path)) Unexpected("over-long scratch path");
  return path;
}

void WriteScratchFile(const char* path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) Unexpected("failure to write a scratch file");
  if (size > 0 && std::fwrite(data, 1, size, file) != size) Unexpected("short scratch write");
  if (std::fclose(file) != 0) Unexpected("failure to close a scratch file");
}

std::string TextModeText(const std::uint8_t* data, std::size_t size) {
  std::string text;
  for (std::size_t i = 0; i < size && data[i] != 0x1A; ++i) {
    bool crLf = data[i] == '\r' && i + 1 < size && data[i + 1] == '\n';
    text += crLf ? '\n' : static_cast<char>(data[i]);
    if (crLf) ++i;
  }
  return text;
}

bool StartsALineOf(const std::string& text, const char* line, std::size_t length) {
  for (std::size_t at = text.find(line, 0, length); at != std::string::npos;
       at = text.find(line, at + 1, length)) {
    if (at == 0 || text[at - 1] == '\n') return true;
  }
  return false;
}

// platform.h

int EnterProgramFolder() { return 0; }

// Nothing is shown, but every text must be a proper NUL-terminated string.
void ConsoleWrite(const char* text) {
  volatile std::size_t length = std::strlen(text);
  (void)length;
}

int ConsoleReadByte() { return g_inputAt < g_inputSize ? g_input[g_inputAt++] : -1; }

void RunInterpreter(const char* /*commandText*/) { Unexpected("interpreter command"); }

void PauseForKey(const char* prompt) { ConsoleWrite(prompt); }

int OpenTextInput(const char* name, TextInput* input) {
  input->stream = std::fopen(name, "rb");
  input->pending = -1;
  input->ended = input->stream == nullptr ? 1 : 0;
  return input->stream == nullptr ? -1 : 0;
}

int DeleteNamedFile(const char* name) { return std::remove(name) == 0 ? 0 : -1; }

void SleepOneSecond() {}

int StartDetachedThread(void (* /*body*/)()) { Unexpected("thread"); }

int RunChildWithInput(char* /*commandLine*/, const char* /*inputName*/) {
  Unexpected("child process");
}
