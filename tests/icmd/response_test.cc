// ipmitool's hex dump in, the response line the tool reads out.
#include "icmd/response.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(IpmitoolOutput, BecomesTheResponseLine) {
  const struct {
    const char* name;
    std::string printed;
    std::string line;  // "-" when refused
  } kCases[] = {
      {"device id", " 20 10 09 12 02 9f 00 00 00 00 00 00 00 00 00\n",
       "respData[len=15]: 20 10 09 12 02 9F 00 00 00 00 00 00 00 00 00"},
      // Seventeen bytes come on two lines.
      {"fru read", " 10 01 00 00 00 0d 00 00 f2 00 00 00 00 00 00 00\n 00\n",
       "respData[len=17]: 10 01 00 00 00 0D 00 00 F2 00 00 00 00 00 00 00 00"},
      {"no data", "\n", "respData[len=0]:"},
      {"capitals", " AB cd\n", "respData[len=2]: AB CD"},
      {"line ends CR LF", " 01 02\r\n 03\r\n", "respData[len=3]: 01 02 03"},
      {"nothing", "", "-"},
      {"no final line feed", " 20 10 ", "-"},
      {"three digits", " 200 10\n", "-"},
      {"digits run on", " 2010\n", "-"},
      {"not hex", " 2g\n", "-"},
      {"prefix", " 0x20\n", "-"},
      {"NUL inside", std::string(" 20\0 10\n", 8), "-"},
  };
  for (const auto& c : kCases) {
    unsigned char bytes[kMaxResponseBytes];
    char line[kResponseLineSize] = "-";
    int count = ParseIpmitoolOutput(c.printed.data(), static_cast<int>(c.printed.size()), bytes,
                                    kMaxResponseBytes);
    if (count >= 0) {
      EXPECT_EQ(FormatResponseLine(bytes, count, line, sizeof line), 0) << c.name;
    }
    EXPECT_EQ(line, c.line) << c.name;
  }
}

TEST(IpmitoolOutput, ReadsNoFurtherThanItsLengthAndItsRoom) {
  const char printed[] = " 01 02\n 03\n";
  unsigned char bytes[4] = {0, 0, 0, 0};
  EXPECT_EQ(ParseIpmitoolOutput(printed, 7, bytes, 4), 2);  // the rest would make a third byte
  EXPECT_EQ(bytes[2], 0);
  EXPECT_EQ(ParseIpmitoolOutput(printed, 9, bytes, 4), -1);  // cut inside a byte
  EXPECT_EQ(ParseIpmitoolOutput(printed, 11, bytes, 3), 3);
  EXPECT_EQ(ParseIpmitoolOutput(printed, 11, bytes, 2), -1);  // more bytes than room
}

TEST(ResponseLine, FitsOrIsRefused) {
  const unsigned char bytes[3] = {0x20, 0x10, 0x09};
  const std::string full = "respData[len=3]: 20 10 09";
  for (size_t size = 1; size <= full.size() + 1; ++size) {
    std::vector<char> line(size, '#');
    int result = FormatResponseLine(bytes, 3, line.data(), static_cast<int>(size));
    EXPECT_EQ(result, size > full.size() ? 0 : -1) << size;
    if (result == 0) {
      EXPECT_EQ(line.data(), full);
    }
  }
  // The longest response fits the buffer made for it.
  unsigned char most[kMaxResponseBytes] = {};
  char line[kResponseLineSize];
  EXPECT_EQ(FormatResponseLine(most, kMaxResponseBytes, line, sizeof line), 0);
  EXPECT_EQ(std::strlen(line), std::strlen("respData[len=255]:") + 3 * kMaxResponseBytes);
}

}  // namespace
