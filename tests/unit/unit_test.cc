// The countdowns sleep one second after each line they show, and nothing
// else sleeps: 300 lines for the flash, 90 for the restart.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "procedure/update.h"

namespace {
std::string g_console;  // what was written, a '|' for each second slept
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
