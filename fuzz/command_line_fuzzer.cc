// The POSIX platform's splitting of a command line by the Windows runtime's
// rules (the flash command line carries the image name and the password):
// the arguments lie within the output buffer, each NUL-terminated, in order,
// with a null after the last; a line without quotes and backslashes splits
// at its blanks.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/windows-argv.h"

namespace {

// The blank-separated words of a line with no quote and no backslash.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (char byte : line + ' ') {
    if (byte != ' ' && byte != '\t') {
      word += byte;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

void CheckArguments(const std::string& line, char* out, int outSize, char** argv, int argc) {
  char* end = out + outSize;
  for (int i = 0; i < argc; ++i) {
    FUZZ_CHECK(argv[i] >= out && argv[i] < end);
    FUZZ_CHECK(std::memchr(argv[i], '\0', static_cast<std::size_t>(end - argv[i])) != nullptr);
    FUZZ_CHECK(i == 0 || argv[i] > argv[i - 1]);
  }
  FUZZ_CHECK(argv[argc] == nullptr);
  if (line.find_first_of("\"\\") != std::string::npos) return;
  std::vector<std::string> words = Words(line);
  FUZZ_CHECK(words.size() == static_cast<std::size_t>(argc));
  for (int i = 0; i < argc; ++i) FUZZ_CHECK(words[i] == argv[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first two bytes pick the buffer sizes; the rest, to a NUL, is the line.
  int outSize = 1 + data[0] * 8;
  int maxArgs = 1 + data[1] % 64;
  const char* text = reinterpret_cast<const char*>(data + 2);
  std::string line(text, strnlen(text, size - 2));
  char* out = new char[outSize];
  char** argv = new char*[maxArgs];
  int argc = SplitWindowsCommandLine(line.c_str(), out, outSize, argv, maxArgs);
  FUZZ_CHECK(argc == -1 || (argc >= 1 && argc <= maxArgs - 1));
  if (argc >= 1) CheckArguments(line, out, outSize, argv, argc);
  delete[] argv;
  delete[] out;
  return 0;
}
