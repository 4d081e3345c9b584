// The platform seam, the same on every platform: the real operations by
// default, and the three entry points the update logic calls.
#include "platform/seam.h"

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/internal.h"

namespace {

PlatformSeam g_seam = {RealConsoleWrite, RealConsoleReadByte, RealSleepOneSecond};

}  // namespace

void InstallPlatformSeam(const PlatformSeam& seam) {
  if (seam.consoleWrite != nullptr) g_seam.consoleWrite = seam.consoleWrite;
  if (seam.consoleReadByte != nullptr) g_seam.consoleReadByte = seam.consoleReadByte;
  if (seam.sleepOneSecond != nullptr) g_seam.sleepOneSecond = seam.sleepOneSecond;
}

void ConsoleWrite(const char* text) { g_seam.consoleWrite(text); }

int ConsoleReadByte() { return g_seam.consoleReadByte(); }

void SleepOneSecond() { g_seam.sleepOneSecond(); }
