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
#include <string>
#include <thread>

// Puts standard input in binary mode where the runtime would translate it.
void SetStdinBinary();

namespace {

// Writes `bytes` to the file `name`; 0, or 1 when it cannot be written.
int WriteFile(const char* name, const std::string& bytes) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) return 1;
  size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
  return std::fclose(file) == 0 && written == bytes.size() ? 0 : 1;
}

// All of standard input; empty when there is none to read.
std::string ReadStdin() {
  SetStdinBinary();
  std::string bytes;
  char block[4096];
  for (size_t n = std::fread(block, 1, sizeof block, stdin); n > 0;
       n = std::fread(block, 1, sizeof block, stdin)) {
    bytes.append(block, n);
  }
  return bytes;
}

std::string AllArguments(int argc, char** argv) {
  std::string lines;
  for (int i = 1; i < argc; ++i) lines += std::string(argv[i]) + "\n";
  return lines;
}

// Does one option with its value; 0, or 1 when it failed.
int DoOption(const char* option, const char* value, int argc, char** argv) {
  if (std::strcmp(option, "--out") == 0) return std::printf("%s\n", value) < 0;
  if (std::strcmp(option, "--err") == 0) return std::fprintf(stderr, "%s\n", value) < 0;
  if (std::strcmp(option, "--touch") == 0) return WriteFile(value, "");
  if (std::strcmp(option, "--copy-stdin") == 0) return WriteFile(value, ReadStdin());
  if (std::strcmp(option, "--args") == 0) return WriteFile(value, AllArguments(argc, argv));
  if (std::strcmp(option, "--sleep-ms") == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::strtol(value, nullptr, 10)));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int failed = 0;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strncmp(argv[i], "--", 2) != 0) continue;
    failed |= DoOption(argv[i], argv[i + 1], argc, argv);
    ++i;
  }
  std::fflush(stdout);
  return failed;
}
