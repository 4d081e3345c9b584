// The version query and the model check over scripted captures, through the
// real command, capture-file and parsing code.
#include "procedure/update.h"
#include "tests/unit/unit_support.h"

namespace {

class BmcParseTest : public FolderTest {
 protected:
  void SetUp() override {
    FolderTest::SetUp();
    std::snprintf(g_updateSettings.bmcAddress, sizeof g_updateSettings.bmcAddress, "10.0.0.7");
    std::snprintf(g_updateSettings.bmcPassword, sizeof g_updateSettings.bmcPassword, "pw");
  }
};

const std::string kResponse = "respData[len=15]: 20 10 ";

TEST_F(BmcParseTest, VersionQueryClassifiesTheRevision) {
  const struct {
    Capture capture;
    int versionClass;
    std::string shown;
  } kCases[] = {
      {VersionCapture("09 11"), 0, "\n : 09-11\n"},
      {VersionCapture("09 12"), 1, "\n : 09-12\n"},
      {VersionCapture("09 14"), 2, "\n : 09-14\n"},
      {VersionCapture("09 16"), 3, "\n : 09-16\n"},
      {VersionCapture("09 17"), 4, "\n : 09-17\n"},
      {VersionCapture("89 16"), 5, "\n : 89-16\n"},
      {VersionCapture("8A 00"), 5, "\n : 8A-00\n"},
      {VersionCapture("09 13"), 6, "\n : 09-13\n"},
      {VersionCapture("09 15"), 6, "\n : 09-15\n"},
      {VersionCapture("08 16"), 6, "\n : 08-16\n"},
      {VersionCapture("19 16"), 6, "\n : 19-16\n"},
      {VersionCapture("09 26"), 6, "\n : 09-26\n"},
      {Output(kResponse + "09 16\n"), 3, "\n : 09-16\n"},     // just long enough
      {Output(kResponse + "09 1\n"), 8, ""},                  // too short: no response
      {Output("respData[len=15]: 20 11 09 16 02\n"), 8, ""},  // device revision 11h
      {Output("hdr\r\n" + kResponse + "09 16 02\r\n"), 3, "\n : 09-16\n"},
      {Output("hdr\n\x1A" + kResponse + "09 16 02\n"), 8, ""},
      // Marker mid-line: the revision columns count from the line's start.
      {Output(std::string(24, '.') + "09 16 " + kResponse + "18 00 02\n"), 3, "\n : 09-16\n"},
      {NoFile(), 10, "[010] version.txt cannot be opened.\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.capture.content));
    g_fake = FakePlatform{};
    g_fake.captures = {c.capture};
    EXPECT_EQ(QueryBmcVersion(), c.versionClass);
    EXPECT_EQ(g_fake.commands,
              std::vector<std::string>{"icmd.exe -N 10.0.0.7 -P \"pw\" 00 20 18 01 > Version.txt"});
    // The revision line's words before " : " are in the console's encoding.
    const std::string& out = g_fake.transcript;
    std::size_t at = out.find(" : ");
    EXPECT_EQ(at == std::string::npos ? out : out.substr(0, 1) + out.substr(at), c.shown);
    EXPECT_EQ(std::filesystem::exists("version.txt"), c.capture.written && c.versionClass == 8);
  }
}

TEST_F(BmcParseTest, ModelCheckReadsTheProductName) {
  const std::string kNoResponse = "[012] FRU DATA cannot be gotten.\n",
                    kNoFile = "[011] fru.txt cannot be opened.\n";
  const struct {
    int typeLength;
    std::string name;
    int faultBlock;
    FruFault fault;
    int result, commands;
    std::string shown;
  } kCases[] = {
      {0x0E, "QX5200-kn/KN20", -1, kFruGood, 0, 16, ""},  // spans two reads
      {0x0B, "MIRTA kn300", -1, kFruGood, 0, 16, ""},
      {0x0B, "MIRTA vn300", -1, kFruGood, 0, 16, ""},
      {0xCB, "MIRTA kn300", -1, kFruGood, 0, 16, ""},  // type bits ignored
      {0x0C, "MIRTA kn300 ", -1, kFruGood, 1, 16, ""},
      {0x0B, "mirta kn300", -1, kFruGood, 1, 16, ""},
      {0x0A, "MIRTA kn300", -1, kFruGood, 1, 16, ""},
      {0x0D, std::string("MIRTA vn300\0\0", 13), -1, kFruGood, 0, 16, ""},
      {0x00, "MIRTA kn300", -1, kFruGood, 1, 16, ""},
      {0x2B, "MIRTA kn300", -1, kFruGood, 1, 16, ""},  // length 43 takes the bytes after it
      {0x3F, "MIRTA vn300" + std::string(52, '\0') + "X", -1, kFruGood, 0, 16, ""},  // to B2h
      {0x3F, Repeat("A", 63), -1, kFruGood, 1, 16, ""},
      {0x0B, "MIRTA kn300", 7, kFruMidLine, 0, 16, ""},
      {0x0B, "MIRTA kn300", 7, kFruCrLf, 0, 16, ""},
      {0x0B, "MIRTA kn300", 7, kFruShort, 12, 8, kNoResponse},
      {0x0B, "MIRTA kn300", 3, kFru1A, 12, 4, kNoResponse},
      {0x0B, "MIRTA kn300", 9, kFruNoMarker, 12, 10, kNoResponse},
      {0x0B, "MIRTA kn300", 9, kFruNoFile, 11, 10, kNoFile},
      {0x0B, "MIRTA kn300", 0, kFruNoFile, 11, 1, kNoFile},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.name) + " fault at " + std::to_string(c.faultBlock));
    g_fake = FakePlatform{};
    g_fake.captures = FruCaptures(c.typeLength, c.name, c.faultBlock, c.fault);
    EXPECT_EQ(CheckTargetModel(), c.result);
    EXPECT_EQ(g_fake.commands.size(), static_cast<std::size_t>(c.commands));
    EXPECT_EQ(g_fake.transcript, c.shown);
    // A failed read leaves its capture; after sixteen good ones it is deleted.
    EXPECT_EQ(std::filesystem::exists("fru.txt"), c.result >= 11 && c.fault != kFruNoFile);
  }
}

}  // namespace
