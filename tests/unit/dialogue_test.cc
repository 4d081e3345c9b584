// The operator's replies: the bounded read and the checks that keep unsafe
// text out of the command lines.
#include "procedure/dialogue.h"

#include <cstring>

#include "tests/unit/unit_support.h"

namespace {

TEST(ReadReply, ReadsBoundedLines) {
  const struct {
    std::string input;
    int size;
    std::vector<std::string> replies;
  } kCases[] = {
      {"yes\n", 260, {"yes\n"}},
      {"\n", 260, {"\n"}},
      {"abc", 260, {"abc"}},
      {"", 260, {}},
      {std::string("a\0b\n", 4), 260, {std::string("a\0b\n", 4)}},  // NUL bytes counted
      {"abcdefgh\nxy\n", 5, {"abcd", "xy\n"}},                      // the remainder is skipped
      {"abcd\nzz\n", 5, {"abcd", "zz\n"}},
      {"abc\nzz\n", 5, {"abc\n", "zz\n"}},
      {"abcdefg", 5, {"abcd"}},
      {Repeat("x", 300) + "\nn\n", 260, {Repeat("x", 259), "n\n"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.input));
    g_fake = FakePlatform{};
    g_fake.input = c.input;
    char reply[300];
    for (const std::string& expected : c.replies) {
      std::memset(reply, '#', sizeof reply);
      int length = ReadReply(reply, c.size);
      ASSERT_EQ(length, static_cast<int>(expected.size()));
      EXPECT_EQ(std::string(reply, length + 1), expected + '\0');
      EXPECT_EQ(reply[c.size], '#');  // nothing beyond the buffer
    }
    EXPECT_EQ(ReadReply(reply, c.size), -1);  // then the end of input
  }
}

TEST(ClassifyReply, LooksAtTheFirstByteOnly) {
  const struct {
    std::string reply;
    Answer answer;
  } kCases[] = {{"y\n", kAnswerYes},   {"Yes\n", kAnswerYes},
                {"Y", kAnswerYes},     {"n\n", kAnswerNo},
                {"No\n", kAnswerNo},   {"N", kAnswerNo},
                {"\n", kAnswerOther},  {" y\n", kAnswerOther},
                {"x\n", kAnswerOther}, {std::string("\0y", 2), kAnswerOther},
                {"", kAnswerOther}};
  for (const auto& c : kCases) {
    EXPECT_EQ(ClassifyReply(c.reply.data(), static_cast<int>(c.reply.size())), c.answer) << c.reply;
  }
}

using Accept = int (*)(const char*, int, char*, int);

// The field's text when accepted; null when refused.
void ExpectAccept(Accept accept, int fieldSize, const std::string& reply, const char* field) {
  SCOPED_TRACE(::testing::PrintToString(reply));
  char buffer[32];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(accept(reply.data(), static_cast<int>(reply.size()), buffer, fieldSize),
            field ? 0 : -1);
  if (field != nullptr) {
    EXPECT_STREQ(buffer, field);
  }
  EXPECT_EQ(std::string(buffer + fieldSize, 32 - fieldSize), Repeat("#", 32 - fieldSize));
}

TEST(AcceptReply, AddressHas6To15SafeCharacters) {
  const struct {
    std::string reply;
    const char* field;
  } kCases[] = {{"1.2.3.4\n", "1.2.3.4"},        {"192.168.0.10\n", "192.168.0.10"},
                {"1.2.34\n", "1.2.34"},          {"192.168.100.200\n", "192.168.100.200"},
                {"192.168.100.2001\n", nullptr}, {"1.2.3\n", nullptr},
                {"fe80::1\n", "fe80::1"},        {"bmc-01.Lab\n", "bmc-01.Lab"},
                {"1.2.3.4", "1.2.3.4"},          {"\n", nullptr}};
  for (const auto& c : kCases) ExpectAccept(AcceptAddress, 16, c.reply, c.field);
  const char kUnsafe[] = " \r\0_/\xA1&|;<>$`\"%^()";
  for (char unsafe : std::string(kUnsafe, sizeof kUnsafe - 1)) {
    ExpectAccept(AcceptAddress, 16, std::string("1.2.3.4") + unsafe + "5\n", nullptr);
  }
}

TEST(AcceptReply, PasswordHasAtMost19QuotableBytes) {
  const struct {
    int fieldSize;
    std::string reply;
    const char* field;
  } kCases[] = {{20, "\n", ""},
                {20, "TOLVE qs Family\n", "TOLVE qs Family"},
                {20, "p\x82\xA0s\n", nullptr},
                {20, Repeat("p", 19) + "\n", "ppppppppppppppppppp"},
                {20, Repeat("p", 19), "ppppppppppppppppppp"},
                {20, Repeat("p", 20) + "\n", nullptr},
                {20, Repeat("p", 20), nullptr},
                {24, Repeat("p", 20) + "\n", nullptr},  // the rule refuses, not the field
                {20, "a&b|c<d>e^f'!\n", "a&b|c<d>e^f'!"}};
  for (const auto& c : kCases) ExpectAccept(AcceptPassword, c.fieldSize, c.reply, c.field);
  // From 80h up too: a code page 932 lead byte could swallow the closing quote.
  const char kUnsafe[] = "\"\\%$`\x01\t\r\x1F\x7F\x80\x82\x9F\xE0\xFC\xFF\0";
  for (char unsafe : std::string(kUnsafe, sizeof kUnsafe - 1)) {
    ExpectAccept(AcceptPassword, 20, std::string("pa") + unsafe + "ss\n", nullptr);
  }
}

TEST(AcceptReply, ImageNameLosesItsLineEnd) {
  const struct {
    std::string line;
    const char* field;
  } kCases[] = {{"fw.bin\n", "fw.bin"},
                {"fw.bin\r\n", "fw.bin"},
                {"fw.bin", "fw.bin"},
                {"fw.bin\r", "fw.bin\r"},
                {"fw\r.bin\n", "fw\r.bin"},
                {"", ""},
                {"\r\n", ""},
                {Repeat("f", 19) + "\r\n", "fffffffffffffffffff"},
                {Repeat("f", 20) + "\n", nullptr},
                {Repeat("f", 20), nullptr}};
  for (const auto& c : kCases) ExpectAccept(AcceptImageName, 20, c.line, c.field);
}

}  // namespace
