// The shared text-mode line reader over real files.
#include <cstring>

#include "platform/platform.h"
#include "tests/unit/unit_support.h"

namespace {

class TextInputTest : public FolderTest {};

TEST_F(TextInputTest, ReadsLinesInTextMode) {
  const struct {
    std::string bytes;
    std::vector<std::string> lines;
  } kCases[] = {
      {"ab\r\ncd\r\n", {"ab\n", "cd\n"}},
      {"ab\rcd\n", {"ab\rcd\n"}},
      {"ab\r\r\n", {"ab\r\n"}},
      {"ab\r", {"ab\r"}},
      {"ab", {"ab"}},
      {"", {}},
      {"ab\ncd\x1A"
       "ef\ngh\n",
       {"ab\n", "cd"}},
      {"ab\r\x1A"
       "cd\n",
       {"ab\r"}},
      {Repeat("x", 300) + "\n", {Repeat("x", 259), Repeat("x", 41) + "\n"}},
      {Repeat("x", 259) + "\r\nz", {Repeat("x", 259), "\n", "z"}},
      {Repeat("x", 258) + "\r\nz", {Repeat("x", 258) + "\n", "z"}},
      {std::string("a\0b\r\nc", 6), {std::string("a\0b\n", 4), "c"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    WriteFile("text.txt", c.bytes);
    TextInput input;
    ASSERT_EQ(OpenTextInput("text.txt", &input), 0);
    char line[300];
    for (const std::string& expected : c.lines) {
      std::memset(line, '#', sizeof line);
      int length = ReadTextLine(&input, line, 260);
      EXPECT_EQ(std::string(line, length + 1), expected + '\0');
      EXPECT_EQ(line[260], '#');
    }
    EXPECT_EQ(ReadTextLine(&input, line, 260), 0);
    EXPECT_EQ(ReadTextLine(&input, line, 260), 0);  // and stays at the end
    CloseTextInput(&input);
  }
}

}  // namespace
