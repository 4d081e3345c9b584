// The update itself against the simulated BMC: the flash program's command
// line and input, the fixed countdown, the queries after it and the cold
// reset.
#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "e2e.h"
#include "stand-ins.h"

namespace {

// The flash program's log lines: its argv one by one (the user name is an
// empty argument) and, where it can see it, the raw command line.
std::vector<std::string> FlashLogLines() {
  std::vector<std::string> lines = {
      std::string("flash [-force-boot] [-preserve-config] [-nw] [-ip] [") + kBmcAddress +
      "] [-u] [] [-p] [" + kFactoryPassword + "] [" + kImageName + "]"};
  if (FlashLogsCommandLine()) {
    lines.push_back(
        std::string("flash-cmdline Yafuflash.exe -force-boot -preserve-config -nw -ip ") +
        kBmcAddress + " -u \"\" -p \"" + kFactoryPassword + "\" " + kImageName);
  }
  return lines;
}

struct FlashCase {
  const char* name;
  const char* state;  // bmcsim.txt; the BMC is a target at 09-12
  bool withFlash;     // Yafuflash.exe is in the folder
  int exitCode;
  std::string expected;  // after the first revision line, up to the pause
  bool coldReset;        // one cold reset and a third query
};

// Failure messages name the case.
void PrintTo(const FlashCase& c, std::ostream* out) { *out << c.name; }

// Every way the update itself can end.
std::vector<FlashCase> FlashCases() {
  const std::string flashed = FlashCountdownText();
  const std::string reset = ResetCountdownText();
  return {
      {"Succeeds", "flash_sets=09 16\n", true, 0,
       flashed + RevisionLine("09-16") + BoxText(kSuccess), false},
      {"SucceedsAfterColdReset", "flash_sets=89 16\nafter_reset=09 16\n", true, 0,
       flashed + RevisionLine("89-16") + reset + RevisionLine("09-16") + BoxText(kSuccess), true},
      {"StillBusyAfterColdReset", "flash_sets=89 16\n", true, 8,
       flashed + RevisionLine("89-16") + reset + RevisionLine("89-16") + BoxText(kBox008), true},
      {"NewerThanTarget", "flash_sets=09 17\n", true, 7,
       flashed + RevisionLine("09-17") + BoxText(kBox007), false},
      {"FlashProgramMissing", "flash_sets=09 16\n", false, 7,
       flashed + RevisionLine("09-12") + BoxText(kBox007), false},
  };
}

// The whole log: the model check, the first query, the flash program
// started during the countdown, the second query, the optional reset.
std::vector<std::string> ExpectedLog(const FlashCase& c) {
  std::vector<std::string> log = FruLogLines(kBmcAddress, kFactoryPassword);
  log.push_back(VersionLogLine());
  if (c.withFlash) {
    for (const std::string& line : FlashLogLines()) log.push_back(line);
  }
  log.push_back(VersionLogLine());
  if (c.coldReset) {
    log.push_back(ColdResetLogLine());
    log.push_back(VersionLogLine());
  }
  return log;
}

class FlashTest : public testing::TestWithParam<FlashCase> {};

TEST_P(FlashTest, EndsWithBoxAfterFullCountdown) {
  const FlashCase& c = GetParam();
  std::string folder = PrepareBmcFolder(std::string("flash/") + c.name,
                                        std::string("firmware=09 12\n") + c.state, c.withFlash);
  ToolRun run = RunTool(folder, BmcInput());
  ExpectBoxRun(run, c.exitCode, DialogueText() + RevisionLine("09-12") + c.expected);

  std::vector<std::string> log = ReadLog(folder);
  EXPECT_EQ(ExpectedLog(c), log);
  std::string input;
  EXPECT_EQ(c.withFlash, ReadFile(folder, "yafuflash-stdin.bin", &input));
  if (c.withFlash) {
    EXPECT_EQ(kYes, input) << "the flash program's input is not yes.txt";
  }
  // Every query found its response line, so no capture is left.
  EXPECT_TRUE(EntriesIgnoringCase(folder, "version.txt").empty());
  EXPECT_TRUE(EntriesIgnoringCase(folder, "fru.txt").empty());
  ExpectNoNulFile(folder);
  ExpectErrorsFromIcmdOnly(run, log);
}

// The case's name as the test's name.
std::string CaseName(const testing::TestParamInfo<FlashCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Update, FlashTest, testing::ValuesIn(FlashCases()), CaseName);

// Where `line` stands in the log, or -1.
int IndexOf(const std::vector<std::string>& log, const std::string& line, int from) {
  for (int i = from; i < static_cast<int>(log.size()); ++i) {
    if (log[i] == line) return i;
  }
  return -1;
}

// The tool reads the revision when its countdown ends, not when the flash
// program ends: a flash that takes longer than the countdown is still
// running at the second query, which therefore sees the old revision.
TEST(FlashTiming, SecondQueryDoesNotWaitForFlashProgram) {
  std::string folder = PrepareBmcFolder("flash/SlowFlashProgram",
                                        "firmware=09 12\nflash_sets=09 16\nflash_delay_ms=3000\n");
  ToolRun run = RunTool(folder, BmcInput());
  // The flash program has not set its revision yet when the tool ends.
  std::string atExit = StateValue(folder, "firmware");
  ExpectBoxRun(run, 7,
               DialogueText() + RevisionLine("09-12") + FlashCountdownText() +
                   RevisionLine("09-12") + BoxText(kBox007));
  std::vector<std::string> log = ReadLog(folder);
  int firstQuery = IndexOf(log, VersionLogLine(), 0);
  int flash = IndexOf(log, FlashLogLines()[0], 0);
  int secondQuery = IndexOf(log, VersionLogLine(), firstQuery + 1);
  // It had started before the second query and not finished by the exit.
  EXPECT_EQ(16, firstQuery);
  EXPECT_LT(firstQuery, flash);
  EXPECT_LT(flash, secondQuery);
  EXPECT_EQ("09 12", atExit);

  // It does finish: wait for it, so that it leaves nothing running behind.
  std::string later = atExit;
  for (int i = 0; i < 200 && later != "09 16"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    later = StateValue(folder, "firmware");
  }
  EXPECT_EQ("09 16", later) << "the flash program never finished";
}

}  // namespace
