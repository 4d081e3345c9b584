// The POSIX tool end to end over real RMCP+: bmcupdate-fast runs our
// icmd.exe, which runs ipmitool, which talks to OpenIPMI's ipmi_sim on a
// loopback address of the case's own. The model check reads the FRU with
// real Read FRU Data requests; the test plug-in answers Get Device ID from
// its revision file, which the flash stand-in changes, and takes the cold
// reset.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "e2e.h"
#include "simulator.h"

namespace fs = std::filesystem;

namespace {

const char kImageLine[] = "BMC_fw_0916_rel.ima\r\n";
const char kYes[] = "y\r\ny\r\nY\r\n";

struct SimCase {
  const char* name;
  int host;                   // the simulator listens on 127.0.0.<host>; set by Cases()
  const char* product;        // the FRU's product name
  int fruSize;                // FRU bytes the simulator holds; 0: no FRU at all
  const char* bmcPassword;    // the BMC's password
  const char* typedPassword;  // what the operator types; null: the factory password
  const char* firmware;       // bmc-firmware.txt once the simulator runs
  const char* flashWrites;    // what the flash writes there; null: nothing
  bool frozen;                // the simulator is stopped (SIGSTOP) before the tool runs
  int exitCode;
  std::string expected;  // after the dialogue, up to the pause
  int coldResets;        // cold resets the BMC received
  const char* fruLeft;   // what fru.txt holds at the end; null: no fru.txt
};

// A failing case is named by its name, not its bytes.
void PrintTo(const SimCase& c, std::ostream* out) { *out << c.name; }

// Every revision file starts good: the simulator reads it as it starts.
const char kStartFirmware[] = "09 12\n";

std::vector<SimCase> Cases() {
  const std::string flashed = FlashCountdownText();
  const std::string reset = ResetCountdownText();
  const std::string refused = BoxText(kBox004);
  const std::string unread = std::string(kFruDataMissing) + refused;
  const char* factory = kFactoryPassword;
  std::vector<SimCase> cases = {
      {"UpdatesDirectly", 0, "MIRTA kn300", 256, factory, nullptr, "09 12\n", "09 16\n", false, 0,
       RevisionLine("09-12") + flashed + RevisionLine("09-16") + BoxText(kSuccess), 0, nullptr},
      {"UpdatesThroughColdReset", 0, "MIRTA vn300", 256, factory, nullptr, "09 12\n",
       "89 16 09 16\n", false, 0,
       RevisionLine("09-12") + flashed + RevisionLine("89-16") + reset + RevisionLine("09-16") +
           BoxText(kSuccess),
       1, nullptr},
      {"StillBusyAfterColdReset", 0, "QX5200-kn/KN20", 256, factory, nullptr, "09 12\n", "89 16\n",
       false, 8,
       RevisionLine("09-12") + flashed + RevisionLine("89-16") + reset + RevisionLine("89-16") +
           BoxText(kBox008),
       1, nullptr},
      {"AlreadyCurrentTypedPassword", 0, "QX5200-kn/KN20", 256, "Own pass 7", "Own pass 7",
       "09 16\n", "09 16\n", false, 5, RevisionLine("09-16") + BoxText(kBox005), 0, nullptr},
      {"NotTargetModel", 0, "MIRTA kn301", 256, factory, nullptr, "09 12\n", "09 16\n", false, 4,
       refused, 0, nullptr},
      {"WrongPassword", 0, "MIRTA kn300", 256, "Other pass", nullptr, "09 12\n", "09 16\n", false,
       4, unread, 0, ""},
      {"FruErrorCompletionCode", 0, "MIRTA kn300", 0, factory, nullptr, "09 12\n", "09 16\n", false,
       4, unread, 0, ""},
      // The last read, at F0h, gets 8 bytes (count 08h) where 16 are asked.
      {"ShortFruRead", 0, "MIRTA kn300", 0xF8, factory, nullptr, "09 12\n", "09 16\n", false, 4,
       unread, 0, "respData[len=9]: 08 00 00 00 00 00 00 00 00\n"},
      // A revision file the plug-in cannot read: Get Device ID answers FFh.
      {"VersionErrorCompletionCode", 0, "MIRTA kn300", 256, factory, nullptr, "unreadable\n",
       "09 16\n", false, 6, BoxText(kBox006), 0, nullptr},
      // ipmitool gives up after its retries (about 20 s); the first FRU read
      // fails, so the tool stops there.
      {"BmcDoesNotAnswer", 0, "MIRTA kn300", 256, factory, nullptr, "09 12\n", "09 16\n", true, 4,
       unread, 0, ""},
  };
  // An address of its own for every case, so that cases may run side by side.
  for (size_t i = 0; i < cases.size(); ++i) cases[i].host = 2 + static_cast<int>(i);
  return cases;
}

// The loopback address of the case's simulator.
std::string Address(const SimCase& c) { return "127.0.0." + std::to_string(c.host); }

// The tool, our icmd.exe, the flash stand-in and their input files.
std::string PrepareToolFolder(const SimCase& c) {
  std::string folder = PrepareFolder(std::string("ipmisim/") + c.name);
  CopyTool(folder);
  CopyProgram(folder, IPMISIM_ICMD_PATH, "icmd.exe");
  CopyProgram(folder, IPMISIM_FLASH_PATH, "Yafuflash.exe");
  WriteFile(folder, "image.txt", kImageLine);
  WriteFile(folder, "yes.txt", kYes);
  WriteFile(folder, "bmc-firmware.txt", kStartFirmware);
  if (c.flashWrites != nullptr) WriteFile(folder, "flash-writes.txt", c.flashWrites);
  return folder;
}

// Confirmed, the address, and the factory or the typed password.
std::string OperatorInput(const SimCase& c) {
  std::string input = "y\n" + Address(c) + "\n";
  return c.typedPassword == nullptr ? input + "y\n" : input + "n\n" + c.typedPassword + "\n";
}

// The dialogue's prompts for OperatorInput().
std::string DialogueFor(const SimCase& c) {
  return DialogueText() + (c.typedPassword == nullptr ? "" : kPasswordPrompts);
}

// The text's lines without their line feeds.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The flash program got the typed address, the password and the image
// name, and yes.txt as its input; or it never ran.
void ExpectFlash(const std::string& folder, const SimCase& c, bool ran) {
  std::string arguments;
  ASSERT_EQ(ran, ReadFile(folder, "flash-args.txt", &arguments));
  if (!ran) return;
  std::string password = c.typedPassword == nullptr ? kFactoryPassword : c.typedPassword;
  EXPECT_EQ("[-force-boot]\n[-preserve-config]\n[-nw]\n[-ip]\n[" + Address(c) +
                "]\n[-u]\n[]\n[-p]\n[" + password + "]\n[BMC_fw_0916_rel.ima]\n",
            arguments);
  std::string input;
  EXPECT_TRUE(ReadFile(folder, "flash-stdin.bin", &input));
  EXPECT_EQ(kYes, input);
}

class SimulatorTest : public testing::TestWithParam<SimCase> {};

TEST_P(SimulatorTest, EndsWithTheFlowsBox) {
  std::string missing = MissingPrerequisite();
  if (!missing.empty()) GTEST_SKIP() << missing;
  const SimCase& c = GetParam();
  std::string folder = PrepareToolFolder(c);
  SimulatorSetup setup = {Address(c), c.bmcPassword, c.product, c.fruSize,
                          fs::absolute(folder).string()};
  Simulator simulator;
  ASSERT_TRUE(StartSimulator(std::string("work/ipmisim-bmc/") + c.name, setup, &simulator));
  WriteFile(folder, "bmc-firmware.txt", c.firmware);
  if (c.frozen) FreezeSimulator(simulator);

  ToolRun run = RunTool(folder, OperatorInput(c));
  KillSimulator(&simulator);

  ExpectBoxRun(run, c.exitCode, DialogueFor(c) + c.expected);
  std::string log;
  ReadFile(folder, "bmc-requests.log", &log);
  EXPECT_EQ(std::vector<std::string>(c.coldResets, "cold-reset"), Lines(log));
  ExpectFlash(folder, c, c.exitCode == 0 || c.exitCode == 7 || c.exitCode == 8);
  std::string fru;
  EXPECT_EQ(c.fruLeft != nullptr, ReadFile(folder, "fru.txt", &fru));
  if (c.fruLeft != nullptr) {
    EXPECT_EQ(c.fruLeft, fru);
  }
  // Only a failed request has anything to say, and icmd.exe says it too;
  // it then leaves its capture empty. The short read is an answer.
  bool failed = (c.fruLeft != nullptr && c.fruLeft[0] == '\0') || c.exitCode == 6;
  EXPECT_EQ(failed, run.errors.find("icmd: ") != std::string::npos) << run.errors;
  if (!failed) {
    EXPECT_EQ("", run.errors);
  }
}

// The case's name as the test's name.
std::string CaseName(const testing::TestParamInfo<SimCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(OverRmcpPlus, SimulatorTest, testing::ValuesIn(Cases()), CaseName);

}  // namespace
