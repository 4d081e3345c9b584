// SplitWindowsCommandLine: the Windows runtime's argument rules, for the
// POSIX build that starts the flash program from an argument vector (the
// flash line itself is split in the child tests).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/windows-argv.h"

namespace {

// Splits with `outSize` bytes and room for `maxArgs` pointers; checks that
// nothing is written beyond them. The arguments, or {"-1"} when refused.
std::vector<std::string> Split(const char* line, int outSize, int maxArgs) {
  std::vector<char> out(outSize + 16, '#');
  char marker = 0;
  std::vector<char*> argv(maxArgs + 4, &marker);
  int argc = SplitWindowsCommandLine(line, out.data(), outSize, argv.data(), maxArgs);
  for (size_t i = outSize; i < out.size(); ++i) EXPECT_EQ(out[i], '#') << "out overrun at " << i;
  for (size_t i = maxArgs; i < argv.size(); ++i) EXPECT_EQ(argv[i], &marker) << "argv overrun";
  if (argc < 0) return {"-1"};
  EXPECT_EQ(argv[argc], nullptr);
  return std::vector<std::string>(argv.begin(), argv.begin() + argc);
}

TEST(SplitWindowsCommandLine, SplitsAsTheWindowsRuntimeInTheRoomGiven) {
  const struct {
    const char* line;
    std::vector<std::string> args;  // the program name first; none when refused
  } kCases[] = {
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
      // No program name.
      {"", {}},
      {" \t ", {}},
  };
  for (const auto& row : kCases) {
    SCOPED_TRACE(row.line);
    int count = static_cast<int>(row.args.size()), bytes = 0;
    for (const std::string& arg : row.args) bytes += static_cast<int>(arg.size()) + 1;
    if (count == 0) {
      EXPECT_EQ(Split(row.line, 64, 8), std::vector<std::string>{"-1"});
      continue;
    }
    EXPECT_EQ(Split(row.line, bytes, count + 1), row.args);
    EXPECT_EQ(Split(row.line, bytes - 1, count + 1), std::vector<std::string>{"-1"}) << "out short";
    EXPECT_EQ(Split(row.line, bytes, count), std::vector<std::string>{"-1"}) << "argv short";
  }
}

}  // namespace
