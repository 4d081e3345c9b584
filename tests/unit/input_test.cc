// Reading input: the operator's replies, with the checks that keep unsafe
// text out of the command lines, and text files in text mode.
#include <cstring>

#include "platform/platform.h"
#include "procedure/dialogue.h"
#include "tests/unit/unit.h"

namespace {

using InputTest = FolderTest;

// The two line readers: ReadReply on standard input (the rest of an
// over-long line skipped) and ReadTextLine on a text file.
TEST_F(InputTest, ReadsBoundedLines) {
  const struct {
    bool file;  // ReadTextLine on a file of `bytes`, else ReadReply
    std::string bytes;
    int size;
    std::vector<std::string> lines;
  } kCases[] = {
      {false, std::string("a\0b\n", 4), 260, {std::string("a\0b\n", 4)}},  // NUL bytes counted
      {false, "abcdefgh\nn\n", 5, {"abcd", "n\n"}},  // the rest of the line skipped
      {false, "abcd\nzz\n", 5, {"abcd", "zz\n"}},
      {false, "abc\nzz\n", 5, {"abc\n", "zz\n"}},
      {false, "abcdefg", 5, {"abcd"}},
      {true, "ab\r\ncd\r\n", 260, {"ab\n", "cd\n"}},
      {true, "ab\rcd\n", 260, {"ab\rcd\n"}},
      {true, "ab\r\r\n", 260, {"ab\r\n"}},
      {true, "ab\r", 260, {"ab\r"}},
      {true, "ab", 260, {"ab"}},
      {true, "", 260, {}},
      {true, "ab\ncd\032ef\ngh\n", 260, {"ab\n", "cd"}},  // 1Ah ends the text
      {true, "ab\r\032cd\n", 260, {"ab\r"}},
      {true, "abcdefg\n", 5, {"abcd", "efg\n"}},
      {true, "abcd\r\nz", 5, {"abcd", "\n", "z"}},  // CR LF across the buffer's end
      {true, "abc\r\nz", 5, {"abc\n", "z"}},
      {true, std::string("a\0b\r\nc", 6), 260, {std::string("a\0b\n", 4), "c"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    g_fake.input = c.bytes;
    WriteFile("text.txt", c.bytes);
    TextInput input;
    ASSERT_EQ(OpenTextInput("text.txt", &input), 0);
    auto read = [&](char* line) {
      return c.file ? ReadTextLine(&input, line, c.size) : ReadReply(line, c.size);
    };
    char line[300];
    for (const std::string& expected : c.lines) {
      std::memset(line, '#', sizeof line);
      int length = read(line);
      ASSERT_EQ(length, static_cast<int>(expected.size()));
      EXPECT_EQ(std::string(line, length + 1), expected + '\0');
      EXPECT_EQ(line[c.size], '#');  // nothing beyond the buffer
    }
    for (int again = 0; again < 2; ++again) EXPECT_EQ(read(line), c.file ? 0 : -1);  // the end
    CloseTextInput(&input);
  }
}

using Accept = int (*)(const char*, int, char*, int);

// Accepted with `field` as the field's text, or refused when it is null;
// nothing is written beyond the field.
void ExpectAccept(Accept accept, int fieldSize, const std::string& reply, const char* field) {
  SCOPED_TRACE(::testing::PrintToString(reply));
  char buffer[32];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(accept(reply.data(), static_cast<int>(reply.size()), buffer, fieldSize),
            field ? 0 : -1);
  if (field != nullptr) {
    EXPECT_STREQ(buffer, field);
  }
  EXPECT_EQ(std::string(buffer + fieldSize, 32 - fieldSize), std::string(32 - fieldSize, '#'));
}

TEST(AcceptReply, KeepsWhatACommandLineCannotCarryOut) {
  const std::string p19(19, 'p'), f19(19, 'f');
  const struct {
    Accept accept;
    int fieldSize;  // a larger field shows that the rule refuses, not the field
    std::string reply;
    const char* field;
  } kCases[] = {
      {AcceptAddress, 16, "192.168.100.200\n", "192.168.100.200"},
      {AcceptAddress, 16, "fe80::1\n", "fe80::1"},
      {AcceptAddress, 16, "bmc-01.Lab", "bmc-01.Lab"},
      {AcceptAddress, 24, "192.168.100.2001\n", nullptr},
      {AcceptPassword, 20, "a b&|<>^'!\n", "a b&|<>^'!"},
      {AcceptPassword, 20, p19, "ppppppppppppppppppp"},
      {AcceptPassword, 24, p19 + "p\n", nullptr},
      {AcceptImageName, 20, "fw.bin\r\n", "fw.bin"},
      {AcceptImageName, 20, "fw.bin\r", "fw.bin\r"},
      {AcceptImageName, 20, "fw\r.bin\n", "fw\r.bin"},
      {AcceptImageName, 20, "\r\n", ""},
      {AcceptImageName, 20, f19 + "\r\n", "fffffffffffffffffff"},
      {AcceptImageName, 20, f19 + "f", nullptr},
  };
  for (const auto& c : kCases) ExpectAccept(c.accept, c.fieldSize, c.reply, c.field);
  const char kAddressUnsafe[] = " \r\0_/\xA1&|;<>$`\"%^()";
  for (char unsafe : std::string(kAddressUnsafe, sizeof kAddressUnsafe - 1)) {
    ExpectAccept(AcceptAddress, 16, std::string("1.2.3.4") + unsafe + "5\n", nullptr);
  }
  // From 80h up too: a code page 932 lead byte could swallow the closing quote.
  const char kPasswordUnsafe[] = "\"\\%$`\x01\t\r\x1F\x7F\x80\x82\x9F\xE0\xFC\xFF\0";
  for (char unsafe : std::string(kPasswordUnsafe, sizeof kPasswordUnsafe - 1)) {
    ExpectAccept(AcceptPassword, 20, std::string("pa") + unsafe + "ss\n", nullptr);
  }
}

}  // namespace
