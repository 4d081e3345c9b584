// ipmitool's hex dump in, the response line out, and the tool's own readers
// on that line.
#include "icmd/response.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bmc/model.h"
#include "bmc/version.h"

namespace {

// The response line for what ipmitool printed, or "-" when refused.
std::string LineFor(const std::string& printed) {
  unsigned char bytes[kMaxResponseBytes];
  int count = ParseIpmitoolOutput(printed.data(), static_cast<int>(printed.size()), bytes,
                                  kMaxResponseBytes);
  if (count < 0) return "-";
  char line[kResponseLineSize];
  EXPECT_EQ(0, FormatResponseLine(bytes, count, line, sizeof line));
  return line;
}

TEST(IpmitoolOutput, BecomesTheResponseLine) {
  const struct {
    const char* name;
    std::string printed;
    std::string line;
  } kCases[] = {
      {"device id", " 20 10 09 12 02 9f 00 00 00 00 00 00 00 00 00\n",
       "respData[len=15]: 20 10 09 12 02 9F 00 00 00 00 00 00 00 00 00"},
      // Seventeen bytes come on two lines.
      {"fru read", " 10 01 00 00 00 0d 00 00 f2 00 00 00 00 00 00 00\n 00\n",
       "respData[len=17]: 10 01 00 00 00 0D 00 00 F2 00 00 00 00 00 00 00 00"},
      {"exactly sixteen", " 0f 00 00 00 cb 4d 49 52 54 41 20 6b 6e 33 30 30\n",
       "respData[len=16]: 0F 00 00 00 CB 4D 49 52 54 41 20 6B 6E 33 30 30"},
      {"short fru read", " 08 00 00 00 00 00 00 00 00\n",
       "respData[len=9]: 08 00 00 00 00 00 00 00 00"},
      {"no data", "\n", "respData[len=0]:"},
      {"capitals", " AB cd\n", "respData[len=2]: AB CD"},
      {"line ends CR LF", " 01 02\r\n 03\r\n", "respData[len=3]: 01 02 03"},
      {"nothing", "", "-"},
      {"no final line feed", " 20 10", "-"},
      {"message", "Unable to send RAW command\n", "-"},
      {"three digits", " 200 10\n", "-"},
      {"one digit", " 2 10\n", "-"},
      {"digits run on", " 2010\n", "-"},
      {"not hex", " 2g\n", "-"},
      {"prefix", " 0x20\n", "-"},
      {"NUL inside", std::string(" 20\0 10\n", 8), "-"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.line, LineFor(c.printed)) << c.name;
  }
}

TEST(IpmitoolOutput, ReadsNoFurtherThanItsLength) {
  // The bytes after the length would make a third byte.
  const char printed[] = " 01 02\n 03\n";
  unsigned char bytes[4] = {0, 0, 0, 0};
  EXPECT_EQ(2, ParseIpmitoolOutput(printed, 7, bytes, 4));
  EXPECT_EQ(0, bytes[2]);
  // Cut inside a byte: refused, not read on.
  EXPECT_EQ(-1, ParseIpmitoolOutput(printed, 9, bytes, 4));
}

TEST(IpmitoolOutput, RefusesMoreBytesThanItHasRoomFor) {
  std::string printed;
  for (int i = 0; i < 5; ++i) printed += " 7e";
  printed += "\n";
  unsigned char bytes[5];
  EXPECT_EQ(5, ParseIpmitoolOutput(printed.data(), static_cast<int>(printed.size()), bytes, 5));
  EXPECT_EQ(-1, ParseIpmitoolOutput(printed.data(), static_cast<int>(printed.size()), bytes, 4));
}

TEST(ResponseLine, FitsOrIsRefused) {
  const unsigned char bytes[3] = {0x20, 0x10, 0x09};
  const std::string full = "respData[len=3]: 20 10 09";
  for (size_t size = 1; size <= full.size() + 1; ++size) {
    std::vector<char> line(size, '#');
    int result = FormatResponseLine(bytes, 3, line.data(), static_cast<int>(size));
    EXPECT_EQ(size > full.size() ? 0 : -1, result) << size;
    if (result == 0) {
      EXPECT_EQ(full, line.data());
    }
  }
  // The longest response fits the buffer made for it.
  unsigned char most[kMaxResponseBytes] = {};
  char line[kResponseLineSize];
  EXPECT_EQ(0, FormatResponseLine(most, kMaxResponseBytes, line, sizeof line));
  EXPECT_EQ(std::strlen("respData[len=255]:") + 3 * kMaxResponseBytes, std::strlen(line));
}

// The tool finds and reads what icmd.exe prints: the revision columns of a
// Get Device ID answer, the sixteen values of a Read FRU Data answer.
TEST(ResponseLine, IsWhatTheToolReads) {
  std::string version = LineFor(" 20 10 89 16 02 9f 00 00 00 00 00 00 00 00 00\n");
  EXPECT_EQ(0u, version.find("respData[len=15]: 20 10 "));
  char revision[4];
  ASSERT_EQ(0, ExtractRevision(version.c_str(), revision));
  EXPECT_EQ("8916", std::string(revision, 4));

  std::string fru = LineFor(" 10 01 00 00 00 0d 00 00 f2 c7 53 49 4d 54 45 53\n 54\n");
  EXPECT_EQ(0u, fru.find("respData[len=17]: 10 "));
  unsigned char values[16];
  ASSERT_EQ(0, ParseFruLine(fru.c_str(), values));
  const unsigned char kExpected[16] = {0x01, 0x00, 0x00, 0x00, 0x0D, 0x00, 0x00, 0xF2,
                                       0xC7, 0x53, 0x49, 0x4D, 0x54, 0x45, 0x53, 0x54};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(kExpected[i], values[i]) << i;
}

}  // namespace
