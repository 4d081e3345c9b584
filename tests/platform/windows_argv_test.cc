// SplitWindowsCommandLine: the Windows runtime's argument rules, for the
// POSIX build that starts the flash program from an argument vector.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/windows-argv.h"

namespace {

struct SplitCase {
  const char* line;
  std::vector<std::string> args;  // the program name first
};

const SplitCase kSplitCases[] = {
    {"Yafuflash.exe -force-boot -preserve-config -nw -ip 1.2.3.4 -u \"\" -p \"TOLVE qs Family\" "
     "fw.bin",
     {"Yafuflash.exe", "-force-boot", "-preserve-config", "-nw", "-ip", "1.2.3.4", "-u", "", "-p",
      "TOLVE qs Family", "fw.bin"}},
    // A quoted program name ends at the next quote; backslashes are plain in it.
    {"\"C:\\Tools\\Yafu Flash\\Yafuflash.exe\" -nw",
     {"C:\\Tools\\Yafu Flash\\Yafuflash.exe", "-nw"}},
    {"\"C:\\Tools\\\" -nw", {"C:\\Tools\\", "-nw"}},
    // 2n backslashes before a quote: n of them, and the quote groups.
    {"p \"a\\\\\" b", {"p", "a\\", "b"}},
    {"p \"a\\\\\\\\\" b", {"p", "a\\\\", "b"}},
    {"p a\\\\\\\\\"b c\"", {"p", "a\\\\b c"}},
    // 2n + 1 backslashes before a quote: n of them and a literal quote.
    {"p a\\\"b", {"p", "a\"b"}},
    {"p a\\\\\\\"b", {"p", "a\\\"b"}},
    {"p \"a\\\" b\"", {"p", "a\" b"}},
    // Backslashes not before a quote are literal, at the end of the line too.
    {"p a\\b c\\\\d e\\\\\\", {"p", "a\\b", "c\\\\d", "e\\\\\\"}},
    // Two quotes inside quotes give one literal quote.
    {"p \"a\"\"b\"", {"p", "a\"b"}},
    {"p \"\" \"\"", {"p", "", ""}},
    {"p a\"b c\"d", {"p", "ab cd"}},
    // Tabs separate like blanks; quoted, they stay.
    {"p\ta\t \tb", {"p", "a", "b"}},
    {"p \"a\tb\"", {"p", "a\tb"}},
    {" \t p a \t", {"p", "a"}},
};

int BytesNeeded(const std::vector<std::string>& args) {
  int size = 0;
  for (const std::string& arg : args) size += static_cast<int>(arg.size()) + 1;
  return size;
}

// Splits with exactly the room given; checks nothing is written beyond it.
int Split(const char* line, int outSize, int maxArgs, std::vector<std::string>* args) {
  const char kFill = '#';
  std::vector<char> out(outSize + 16, kFill);
  char marker = 0;
  std::vector<char*> argv(maxArgs + 4, &marker);
  int argc = SplitWindowsCommandLine(line, out.data(), outSize, argv.data(), maxArgs);
  for (size_t i = outSize; i < out.size(); ++i) EXPECT_EQ(out[i], kFill) << "out overrun at " << i;
  for (size_t i = maxArgs; i < argv.size(); ++i)
    EXPECT_EQ(argv[i], &marker) << "argv overrun at " << i;
  if (argc >= 0) {
    EXPECT_EQ(argv[argc], nullptr);
    for (int i = 0; i < argc; ++i) args->push_back(argv[i]);
  }
  return argc;
}

TEST(SplitWindowsCommandLine, SplitsAsTheWindowsRuntime) {
  for (const SplitCase& row : kSplitCases) {
    SCOPED_TRACE(row.line);
    int count = static_cast<int>(row.args.size());
    std::vector<std::string> args;
    EXPECT_EQ(Split(row.line, BytesNeeded(row.args), count + 1, &args), count);
    EXPECT_EQ(args, row.args);
  }
}

TEST(SplitWindowsCommandLine, RefusesWhatDoesNotFit) {
  for (const SplitCase& row : kSplitCases) {
    SCOPED_TRACE(row.line);
    int count = static_cast<int>(row.args.size());
    std::vector<std::string> args;
    EXPECT_EQ(Split(row.line, BytesNeeded(row.args) - 1, count + 1, &args), -1) << "out too small";
    EXPECT_EQ(Split(row.line, BytesNeeded(row.args), count, &args), -1) << "too many arguments";
  }
}

TEST(SplitWindowsCommandLine, RefusesALineWithoutProgramName) {
  for (const char* line : {"", " ", "\t \t"}) {
    SCOPED_TRACE(std::string("[") + line + "]");
    std::vector<std::string> args;
    EXPECT_EQ(Split(line, 64, 8, &args), -1);
  }
}

}  // namespace
