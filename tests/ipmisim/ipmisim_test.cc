// The POSIX tool end to end over real RMCP+: bmcupdate-fast runs our
// icmd.exe, which runs ipmitool, which talks to OpenIPMI's ipmi_sim on a
// loopback address of the case's own. The model check reads the FRU with
// real Read FRU Data requests; the test plug-in answers Get Device ID from
// its revision file, which the flash stand-in changes, and takes the cold
// reset.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "e2e.h"
#include "simulator.h"

namespace {

const char kYes[] = "y\r\ny\r\nY\r\n";

struct SimCase {
  const char* name;
  int host;                   // the simulator listens on 127.0.0.<host>; set by Cases()
  const char* product;        // the FRU's product name
  int fruSize;                // FRU bytes the simulator holds; 0: no FRU at all
  const char* bmcPassword;    // the BMC's password
  const char* typedPassword;  // what the operator types; null: the factory password
  const char* firmware;       // bmc-firmware.txt once the simulator runs
  const char* flashWrites;    // what the flash writes there
  bool frozen;                // the simulator is stopped (SIGSTOP) before the tool runs
  int exitCode;
  std::string expected;  // after the dialogue, up to the pause
  bool coldReset;        // the BMC received one
  const char* fruLeft;   // what fru.txt holds at the end; null: no fru.txt
};

// A failing case is named by its name, not its bytes.
void PrintTo(const SimCase& c, std::ostream* out) { *out << c.name; }

std::vector<SimCase> Cases() {
  const std::string flashed = RevisionLine("09-12") + FlashCountdownText();
  const std::string reset = ResetCountdownText();
  const std::string refused = BoxText(kBox004);
  const std::string unread = std::string(kFruDataMissing) + refused;
  const char* factory = kFactoryPassword;
  std::vector<SimCase> cases = {
      {"UpdatesDirectly", 0, "MIRTA kn300", 256, factory, nullptr, "09 12\n", "09 16\n", false, 0,
       flashed + RevisionLine("09-16") + BoxText(kSuccess), false, nullptr},
      {"UpdatesThroughColdReset", 0, "MIRTA vn300", 256, factory, nullptr, "09 12\n",
       "89 16 09 16\n", false, 0,
       flashed + RevisionLine("89-16") + reset + RevisionLine("09-16") + BoxText(kSuccess), true,
       nullptr},
      {"StillBusyAfterColdReset", 0, "QX5200-kn/KN20", 256, factory, nullptr, "09 12\n", "89 16\n",
       false, 8, flashed + RevisionLine("89-16") + reset + RevisionLine("89-16") + BoxText(kBox008),
       true, nullptr},
      {"AlreadyCurrentTypedPassword", 0, "QX5200-kn/KN20", 256, "Own pass 7", "Own pass 7",
       "09 16\n", "09 16\n", false, 5, RevisionLine("09-16") + BoxText(kBox005), false, nullptr},
      {"NotTargetModel", 0, "MIRTA kn301", 256, factory, nullptr, "09 12\n", "09 16\n", false, 4,
       refused, false, nullptr},
      {"WrongPassword", 0, "MIRTA kn300", 256, "Other pass", nullptr, "09 12\n", "09 16\n", false,
       4, unread, false, ""},
      {"FruErrorCompletionCode", 0, "MIRTA kn300", 0, factory, nullptr, "09 12\n", "09 16\n", false,
       4, unread, false, ""},
      // The last read, at F0h, gets 8 bytes (count 08h) where 16 are asked.
      {"ShortFruRead", 0, "MIRTA kn300", 0xF8, factory, nullptr, "09 12\n", "09 16\n", false, 4,
       unread, false, "respData[len=9]: 08 00 00 00 00 00 00 00 00\n"},
      // A revision file the plug-in cannot read: Get Device ID answers FFh.
      {"VersionErrorCompletionCode", 0, "MIRTA kn300", 256, factory, nullptr, "unreadable\n",
       "09 16\n", false, 6, BoxText(kBox006), false, nullptr},
      // ipmitool gives up after its retries (about 20 s); the first FRU read
      // fails, so the tool stops there.
      {"BmcDoesNotAnswer", 0, "MIRTA kn300", 256, factory, nullptr, "09 12\n", "09 16\n", true, 4,
       unread, false, ""},
  };
  // An address of its own for every case, so that cases may run side by side.
  for (size_t i = 0; i < cases.size(); ++i) cases[i].host = 2 + static_cast<int>(i);
  return cases;
}

class SimulatorTest : public testing::TestWithParam<SimCase> {};

TEST_P(SimulatorTest, EndsWithTheFlowsBox) {
  std::string missing = MissingPrerequisite();
  if (!missing.empty()) GTEST_SKIP() << missing;
  const SimCase& c = GetParam();
  const std::string address = "127.0.0." + std::to_string(c.host);
  const std::string password = c.typedPassword ? c.typedPassword : kFactoryPassword;
  // The tool, our icmd.exe, the flash stand-in and their input files.
  std::string folder = PrepareFolder(std::string("ipmisim/") + c.name);
  CopyTool(folder);
  CopyProgram(folder, IPMISIM_ICMD_PATH, "icmd.exe");
  CopyProgram(folder, IPMISIM_FLASH_PATH, "Yafuflash.exe");
  WriteFile(folder, "image.txt", "BMC_fw_0916_rel.ima\r\n");
  WriteFile(folder, "yes.txt", kYes);
  // Every revision file starts good: the simulator reads it as it starts.
  WriteFile(folder, "bmc-firmware.txt", "09 12\n");
  WriteFile(folder, "flash-writes.txt", c.flashWrites);
  SimulatorSetup setup = {address, c.bmcPassword, c.product, c.fruSize,
                          std::filesystem::absolute(folder).string()};
  Simulator simulator;
  ASSERT_TRUE(StartSimulator(std::string("work/ipmisim-bmc/") + c.name, setup, &simulator));
  WriteFile(folder, "bmc-firmware.txt", c.firmware);
  if (c.frozen) {
    ASSERT_EQ(kill(simulator.pid, SIGSTOP), 0);  // it keeps its address but no longer answers
  }

  std::string input = "y\n" + address + "\n";
  input += c.typedPassword ? "n\n" + password + "\n" : "y\n";
  ToolRun run = RunTool(folder, input);
  KillSimulator(&simulator);

  ExpectBoxRun(run, c.exitCode,
               DialogueText() + (c.typedPassword ? kPasswordPrompts : "") + c.expected);
  std::string log, arguments, flashInput, fru;
  ReadFile(folder, "bmc-requests.log", &log);
  EXPECT_EQ(log, c.coldReset ? "cold-reset\n" : "");
  // The flash program got the typed address, the password and the image
  // name, and yes.txt as its input; or it never ran.
  bool flashed = c.exitCode == 0 || c.exitCode == 7 || c.exitCode == 8;
  ASSERT_EQ(ReadFile(folder, "flash-args.txt", &arguments), flashed);
  if (flashed) {
    EXPECT_EQ(arguments, "[-force-boot]\n[-preserve-config]\n[-nw]\n[-ip]\n[" + address +
                             "]\n[-u]\n[]\n[-p]\n[" + password + "]\n[BMC_fw_0916_rel.ima]\n");
    EXPECT_TRUE(ReadFile(folder, "flash-stdin.bin", &flashInput));
    EXPECT_EQ(flashInput, kYes);
  }
  EXPECT_EQ(ReadFile(folder, "fru.txt", &fru), c.fruLeft != nullptr);
  EXPECT_EQ(fru, c.fruLeft ? c.fruLeft : "");
  // Only a failed request has anything to say, and icmd.exe says it too;
  // it then leaves its capture empty. The short read is an answer.
  bool failed = (c.fruLeft != nullptr && c.fruLeft[0] == '\0') || c.exitCode == 6;
  EXPECT_EQ(failed, run.errors.find("icmd: ") != std::string::npos) << run.errors;
  if (!failed) {
    EXPECT_EQ(run.errors, "");
  }
}

// The case's name as the test's name.
std::string CaseName(const testing::TestParamInfo<SimCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(OverRmcpPlus, SimulatorTest, testing::ValuesIn(Cases()), CaseName);

}  // namespace
