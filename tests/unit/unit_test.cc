// What a run of the built tool cannot show, on the real platform (the console and the sleep
// replaced): the countdowns sleep a second after each line, the wait for a slow flash before each,
// nothing else sleeps; on POSIX, a text file read and closed leaves no descriptor for the programs
// started later; the README and the fleet playbook name the outcomes as the tool does.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <thread>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/seam.h"
#include "procedure/outcome.h"
#include "procedure/texts.h"
#include "procedure/update.h"

namespace {

namespace fs = std::filesystem;
std::string g_console;  // what was written, a '|' for each second slept

// The descriptors open in this process.
long OpenDescriptors() {
  fs::directory_iterator listing("/proc/self/fd");
  return std::distance(fs::begin(listing), fs::end(listing));
}

// `format`'s lines from `from` down to 1, each before a sleep '|' (step -1), or up from 1, after.
std::string Lines(const char* format, int from, int step) {
  std::string text;
  char line[128];
  for (int n = step < 0 ? from : 1; n >= 1 && n <= from; n += step) {
    std::snprintf(line, sizeof line, format, n / 60, n % 60);
    text += step < 0 ? line + std::string("|") : "|" + std::string(line);
  }
  return text;
}

void WriteConsole(const char* text) { g_console += text; }
// A real millisecond, so that a flash program that ends at once has ended long before the countdown
// has.
void SleepMillisecond() {
  g_console += '|';
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The console and the clock replaced, for every test of this program.
const bool kSeamInstalled = (InstallPlatformSeam({WriteConsole, nullptr, SleepMillisecond}), true);

}  // namespace

TEST(Countdown, SleepsOneSecondAfterEachLine) {
  const struct {
    int (*wait)();
    int result;
    const char* format;
    int seconds, waited;  // the countdown, then the wait for the flash program
    const char* flash;    // the flash program's script: POSIX only
  } kWaits[] = {{ResetBmc, 0, kResetCountdownFormat, 90, 0, nullptr},
                {FlashFirmware, kFlashEnded, kFlashCountdownFormat, 300, 0, "true"},
                {FlashFirmware, kFlashStillRunning, kFlashCountdownFormat, 300, 1800, "sleep 10"}};
  for (const auto& wait : kWaits) {
    if (wait.flash != nullptr) {
      if (UNIT_WINDOWS) break;
      EnterProgramFolder();  // the test's folder: first where programs are looked for
      std::ofstream("Yafuflash.exe") << "#!/bin/sh\n" << wait.flash << "\n";
      fs::permissions("Yafuflash.exe", fs::perms::owner_all);
    }
    g_console.clear();
    EXPECT_EQ(wait.result, wait.wait());
    std::string want = (wait.format == kFlashCountdownFormat ? "\n" : "") +
                       Lines(wait.format, wait.seconds, -1) +
                       Lines(kFlashWaitFormat, wait.waited, 1) + "\n" +
                       (wait.waited > 0 ? "[014] the flash program is still running.\n" : "");
    EXPECT_TRUE(want == g_console) << g_console.size() << " bytes, not " << want.size();
  }
  fs::remove("Yafuflash.exe");
}

TEST(Posix, TextFileClosed) {
  if (UNIT_WINDOWS) GTEST_SKIP() << "POSIX only";
  long before = OpenDescriptors();
  TextInput input;
  char line[8];
  ASSERT_EQ(0, OpenTextInput("ctesttestfile.CMAKE", &input));  // matched without regard to case
  EXPECT_GT(ReadTextLine(&input, line, sizeof line), 0);
  CloseTextInput(&input);
  EXPECT_EQ(before, OpenDescriptors());
}

// "CODE WORD" for every match of `pattern` in `text` (its groups `code` and `word`).
std::set<std::string> Pairs(const std::string& text, const char* pattern, int code, int word) {
  std::set<std::string> pairs;
  const std::regex found(pattern);
  for (std::sregex_iterator at(text.begin(), text.end(), found), end; at != end; ++at) {
    pairs.insert((*at)[code].str() + " " + (*at)[word].str());
  }
  return pairs;
}

// The README's run-log table, and the fleet playbook's exit map (with the README's copy of it), say
// what the outcome table says: every logged word with its exit code; for a run that writes no line,
// the word of its exit code.
TEST(Outcomes, AsDocumented) {
  std::ifstream readmeFile(UNIT_SOURCE "/README.md"), playbookFile(UNIT_SOURCE "/fleet/update.yml");
  const std::string readme(std::istreambuf_iterator<char>(readmeFile), {});
  std::string playbook(std::istreambuf_iterator<char>(playbookFile), {});
  playbook = playbook.substr(playbook.find("outcomes: {"));
  playbook.resize(playbook.find('}'));
  std::set<std::string> logged, unlogged;
  for (int i = 0; i < kOutcomeCount; ++i) {
    const OutcomeFacts& facts = FactsOf(static_cast<Outcome>(i));
    (facts.logged ? logged : unlogged)
        .insert((facts.exitCode >= 0 ? std::to_string(facts.exitCode) : "") + " " + facts.word);
  }
  unlogged.erase("255 declined");  // the fleet always answers yes
  const std::set<std::string> played = Pairs(playbook, "([0-9]+): ([a-z-]+)", 1, 2);
  EXPECT_EQ(logged, Pairs(readme, "\\| `([a-z-]+)` \\| *([0-9]*) *\\|", 2, 1));
  EXPECT_EQ(played, Pairs(readme, "\\| ([0-9]+) \\| `([a-z-]+)`", 1, 2));
  for (const std::string& pair : played) EXPECT_TRUE(logged.count(pair) + unlogged.count(pair));
  for (const std::string& pair : unlogged) EXPECT_TRUE(played.count(pair) != 0) << pair;
}
