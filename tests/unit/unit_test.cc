// What a run of the built tool cannot show, on the real platform: the
// countdowns sleep one second after each line they show (the console and
// the sleep are replaced here) and nothing else sleeps; on POSIX, a text
// file read and closed leaves no descriptor for the flash program and every
// command to inherit, and the flash worker waits for the program it started.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "platform/platform.h"
#include "procedure/update.h"

namespace {

namespace fs = std::filesystem;
std::string g_console;  // what was written, a '|' for each second slept

// The descriptors open in this process.
long OpenDescriptors() {
  fs::directory_iterator listing("/proc/self/fd");
  return std::distance(fs::begin(listing), fs::end(listing));
}

}  // namespace

void ConsoleWrite(const char* text) { g_console += text; }
int ConsoleReadByte() { return -1; }
void SleepOneSecond() { g_console += '|'; }

TEST(Countdown, SleepsOneSecondAfterEachLine) {
  const struct {
    int (*wait)();
    int seconds;
  } kWaits[] = {{FlashFirmware, 300}, {ResetBmc, 90}};
  for (const auto& wait : kWaits) {
    g_console.clear();
    wait.wait();
    int lines = 0;
    for (size_t at = g_console.find("\r|"); at != std::string::npos;
         at = g_console.find("\r|", at + 2)) {
      g_console.erase(at, 2);
      ++lines;
    }
    EXPECT_EQ(wait.seconds, lines);
    EXPECT_EQ(std::string::npos, g_console.find_first_of("\r|")) << g_console;
  }
}

TEST(Posix, TextFileClosedAndChildAwaited) {
  if (UNIT_WINDOWS) GTEST_SKIP() << "POSIX only";
  long before = OpenDescriptors();
  TextInput input;
  char line[8];
  ASSERT_EQ(0, OpenTextInput("ctesttestfile.CMAKE", &input));  // matched without regard to case
  EXPECT_GT(ReadTextLine(&input, line, sizeof line), 0);
  CloseTextInput(&input);
  EXPECT_EQ(before, OpenDescriptors());
  fs::remove("done.txt");
  char command[] = "sh -c \"sleep 0.3; echo > done.txt\"";
  ASSERT_EQ(0, RunChildWithInput(command, "CTestTestfile.cmake"));
  EXPECT_TRUE(fs::exists("done.txt"));
}
