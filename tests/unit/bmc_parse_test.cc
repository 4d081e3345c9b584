// The version query and the model check over scripted captures, through the
// real command, capture-file and parsing code.
#include "procedure/update.h"
#include "tests/unit/unit.h"

namespace {

using BmcParseTest = FolderTest;

TEST_F(BmcParseTest, VersionQueryClassifiesTheRevision) {
  const std::string kResponse = "respData[len=15]: 20 10 ";
  const struct {
    Capture capture;
    int versionClass;
  } kCases[] = {
      {VersionCapture("89 16"), 5},
      {VersionCapture("8A 00"), 5},
      {VersionCapture("08 16"), 6},
      {VersionCapture("09 26"), 6},
      {kResponse + "09 16\n", 3},                 // just long enough
      {kResponse + "09 1\n", 8},                  // too short: no response
      {"respData[len=15]: 20 11 09 16 02\n", 8},  // device revision 11h
      {"hdr\r\n" + kResponse + "09 16 02\r\n", 3},
      {"hdr\n\x1A" + kResponse + "09 16 02\n", 8},
      // Marker mid-line: the revision columns count from the line's start.
      {std::string(24, '.') + "09 16 " + kResponse + "18 00 02\n", 3},
      // The piece of an over-long line after its first 259 bytes is no line.
      {std::string(259, '.') + kResponse + "09 16 02\n", 8},
      {std::nullopt, 10},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.capture));
    g_fake = FakePlatform{};
    g_fake.captures = {c.capture};
    EXPECT_EQ(QueryBmcVersion(), c.versionClass);
    // A capture without a response is left for the service desk.
    EXPECT_EQ(std::filesystem::exists("version.txt"), c.capture && c.versionClass == 8);
  }
}

TEST_F(BmcParseTest, ModelCheckReadsTheProductName) {
  const struct {
    int typeLength;
    std::string name;
    int faultBlock;
    FruFault fault;
    int result, commands;
  } kCases[] = {
      {0x0E, "QX5200-kn/KN20", -1, kFruGood, 0, 16},  // spans two reads
      {0x0D, std::string("MIRTA vn300\0\0", 13), -1, kFruGood, 0, 16},
      {0x2B, "MIRTA kn300", -1, kFruGood, 1, 16},  // length 43 takes the bytes after it
      {0x3F, "MIRTA vn300" + std::string(52, '\0') + "X", -1, kFruGood, 0, 16},  // to B2h
      {0x3F, std::string(63, 'A'), -1, kFruGood, 1, 16},
      {0x0B, "MIRTA kn300", 7, kFruMidLine, 0, 16},
      {0x0B, "MIRTA kn300", 7, kFruCrLf, 0, 16},
      {0x0B, "MIRTA kn300", 7, kFruShort, 12, 8},
      {0x0B, "MIRTA kn300", 3, kFru1A, 12, 4},
      {0x0B, "MIRTA kn300", 9, kFruNoMarker, 12, 10},
      {0x0B, "MIRTA kn300", 9, kFruNoFile, 11, 10},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.name) + " fault at " + std::to_string(c.faultBlock));
    g_fake = FakePlatform{};
    g_fake.captures = FruCaptures(c.typeLength, c.name, c.faultBlock, c.fault);
    EXPECT_EQ(CheckTargetModel(), c.result);
    EXPECT_EQ(g_fake.commands.size(), static_cast<std::size_t>(c.commands));
    // A failed read leaves its capture; after sixteen good ones it is deleted.
    EXPECT_EQ(std::filesystem::exists("fru.txt"), c.result >= 11 && c.fault != kFruNoFile);
  }
}

}  // namespace
