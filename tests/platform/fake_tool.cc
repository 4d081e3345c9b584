// Stands in for the external programs (icmd.exe, Yafuflash.exe) in the
// platform tests. Its options are done in the order given:
//   --out TEXT         writes TEXT and a line feed to standard output
//   --err TEXT         writes TEXT and a line feed to standard error
//   --touch FILE       creates FILE, empty
//   --copy-stdin FILE  copies all of standard input, byte for byte, to FILE
//   --args FILE        writes every argument it was given, one a line, to FILE
//   --sleep-ms N       waits N milliseconds
// Any other argument is ignored, so that a flash-like command line passes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

// Puts standard input in binary mode where the runtime would translate it.
void SetStdinBinary();

namespace {

// Writes `bytes` as the whole file `name`.
void WriteFile(const char* name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

// Does one option with its value.
void DoOption(const char* option, const char* value, int argc, char** argv) {
  std::string text;
  if (std::strcmp(option, "--out") == 0) std::printf("%s\n", value);
  if (std::strcmp(option, "--err") == 0) std::fprintf(stderr, "%s\n", value);
  if (std::strcmp(option, "--touch") == 0) WriteFile(value, "");
  if (std::strcmp(option, "--copy-stdin") == 0) {
    SetStdinBinary();
    for (int byte = std::getchar(); byte != EOF; byte = std::getchar())
      text += static_cast<char>(byte);
    WriteFile(value, text);
  }
  if (std::strcmp(option, "--args") == 0) {
    for (int i = 1; i < argc; ++i) text += std::string(argv[i]) + "\n";
    WriteFile(value, text);
  }
  if (std::strcmp(option, "--sleep-ms") == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::strtol(value, nullptr, 10)));
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strncmp(argv[i], "--", 2) != 0) continue;
    DoOption(argv[i], argv[i + 1], argc, argv);
    ++i;
  }
  return 0;
}
