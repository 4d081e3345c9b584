// The model check and the first version query against the simulated BMC:
// the box, the line above it, the requests made and the files left behind.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "e2e.h"
#include "stand-ins.h"

namespace {

struct BmcCase {
  const char* name;
  const char* state;     // bmcsim.txt
  const char* obstacle;  // a folder made under this name, or null
  int exitCode;
  std::string expected;  // after the dialogue, up to the pause
  int fruRequests;       // Read FRU Data requests made, in order from 00
  int versionQueries;
  bool fruLeft;      // fru.txt is still in the folder
  bool versionLeft;  // Version.txt is still in the folder
};

// Failure messages name the case.
void PrintTo(const BmcCase& c, std::ostream* out) { *out << c.name; }

// Runs that end at the model check.
std::vector<BmcCase> ModelCases() {
  const std::string refused = BoxText(kBox004);
  return {
      {"OtherCase", "product=MIRTA KN300\n", nullptr, 4, refused, 16, 0, false, false},
      {"PrefixOfTarget", "product=QX5200-kn/KN2\n", nullptr, 4, refused, 16, 0, false, false},
      // The capture cannot be made, deleted or opened: the request is not run.
      {"CaptureIsFolder", "", "fru.txt", 4, kFruFileMissing + refused, 0, 0, true, false},
      {"TenthResponseMissing", "fail_fru_at=10\n", nullptr, 4, kFruDataMissing + refused, 10, 0,
       true, false},
      {"ResponseTruncated", "fault=truncated\nfault_scope=fru\n", nullptr, 4,
       kFruDataMissing + refused, 1, 0, true, false},
      {"CtrlZBeforeResponse", "fault=ctrlz\nfault_scope=fru\n", nullptr, 4,
       kFruDataMissing + refused, 1, 0, true, false},
      {"NoResponse", "fault=no-response\nfault_scope=fru\n", nullptr, 4, kFruDataMissing + refused,
       1, 0, true, false},
  };
}

// Runs that end at the first version query.
std::vector<BmcCase> VersionCases() {
  const std::string current = BoxText(kBox005);
  const std::string error = BoxText(kBox006);
  return {
      {"Current0916", "product=QX5200-kn/KN20\nfirmware=09 16\n", nullptr, 5,
       RevisionLine("09-16") + current, 16, 1, false, false},
      {"Newer0917", "product=MIRTA vn300\nfirmware=09 17\n", nullptr, 5,
       RevisionLine("09-17") + current, 16, 1, false, false},
      {"CrLfEverywhere", "fault=crlf\nfirmware=09 16\n", nullptr, 5,
       RevisionLine("09-16") + current, 16, 1, false, false},
      {"Unknown0913", "firmware=09 13\n", nullptr, 6, RevisionLine("09-13") + error, 16, 1, false,
       false},
      {"BusyBeforeUpdate", "firmware=8A 16\n", nullptr, 6, RevisionLine("8A-16") + error, 16, 1,
       false, false},
      {"OtherDeviceRevision", "device_revision=11\n", nullptr, 6, error, 16, 1, false, true},
      {"ResponseTruncated", "fault=truncated\nfault_scope=version\n", nullptr, 6, error, 16, 1,
       false, true},
      {"CtrlZBeforeResponse", "fault=ctrlz\nfault_scope=version\n", nullptr, 6, error, 16, 1, false,
       true},
      {"CaptureIsFolder", "", "version.txt", 6, kVersionFileMissing + error, 16, 0, false, true},
  };
}

class BmcTest : public testing::TestWithParam<BmcCase> {};

TEST_P(BmcTest, EndsWithBoxAndRequestsInOrder) {
  const BmcCase& c = GetParam();
  std::string folder = PrepareBmcFolder(
      std::string("bmc/") + testing::UnitTest::GetInstance()->current_test_suite()->name() + "-" +
          c.name,
      c.state);
  if (c.obstacle != nullptr) MakeSubfolder(folder, c.obstacle);
  ToolRun run = RunTool(folder, BmcInput());
  ExpectBoxRun(run, c.exitCode, DialogueText() + c.expected);

  std::vector<std::string> expectedLog = FruLogLines(kBmcAddress, kFactoryPassword, c.fruRequests);
  for (int i = 0; i < c.versionQueries; ++i) expectedLog.push_back(VersionLogLine());
  std::vector<std::string> log = ReadLog(folder);
  EXPECT_EQ(expectedLog, log);
  EXPECT_EQ(c.fruLeft, !EntriesIgnoringCase(folder, "fru.txt").empty());
  EXPECT_EQ(c.versionLeft, !EntriesIgnoringCase(folder, "version.txt").empty());
  ExpectNoNulFile(folder);
  // With a folder in the way the interpreter complains on stderr itself.
  if (c.obstacle == nullptr) ExpectErrorsFromIcmdOnly(run, log);
}

// The case's name as the test's name.
std::string CaseName(const testing::TestParamInfo<BmcCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(ModelCheck, BmcTest, testing::ValuesIn(ModelCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(VersionQuery, BmcTest, testing::ValuesIn(VersionCases()), CaseName);

// What the operator typed reaches icmd.exe as one argument each. The first
// FRU response is missing, so each run makes exactly one request.
struct SettingsCase {
  const char* name;
  std::string input;
  std::string prompts;  // the dialogue's output
  const char* address;
  std::string password;
};

// Failure messages name the case.
void PrintTo(const SettingsCase& c, std::ostream* out) { *out << c.name; }

// Addresses and passwords as typed, and the empty password.
std::vector<SettingsCase> SettingsCases() {
  const std::string own =
      std::string(kConfirmPrompt) + kAddressPrompts + kPasswordStatePrompt + kPasswordPrompts;
  std::string unrecognised;
  std::string statePrompts;
  for (int i = 0; i < 100; ++i) {
    unrecognised += "?\n";
    statePrompts += kPasswordStatePrompt;
  }
  return {
      {"FactoryDefault", "y\n1.2.3.4\ny\n", DialogueText(), "1.2.3.4", kFactoryPassword},
      // Blanks and the interpreters' metacharacters stay inside the quotes.
      {"NineteenWithMetacharacters", "y\n1.2.3.4\nn\nP w&|<>^()!'#,;=@~1\n", own, "1.2.3.4",
       "P w&|<>^()!'#,;=@~1"},
      {"EmptyPassword", "y\nbmc-01.lab\nn\n\n", own, "bmc-01.lab", ""},
      {"PasswordAtEndOfInput", "y\nfe80::1\nn\nsecret", own, "fe80::1", "secret"},
      {"StateNeverAnswered", "y\n1.2.3.4\n" + unrecognised,
       std::string(kConfirmPrompt) + kAddressPrompts + statePrompts, "1.2.3.4", ""},
  };
}

class SettingsTest : public testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsTest, ReachIcmdAsTyped) {
  const SettingsCase& c = GetParam();
  std::string folder = PrepareBmcFolder(std::string("settings/") + c.name, "fail_fru_at=1\n");
  ToolRun run = RunTool(folder, c.input);
  ExpectBoxRun(run, 4, c.prompts + kFruDataMissing + BoxText(kBox004));
  std::vector<std::string> expectedLog = FruLogLines(c.address, c.password, 1);
  EXPECT_EQ(expectedLog, ReadLog(folder));
}

// The case's name as the test's name.
std::string SettingsName(const testing::TestParamInfo<SettingsCase>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingsTest, testing::ValuesIn(SettingsCases()), SettingsName);

}  // namespace
