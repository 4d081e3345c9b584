// The clock on Windows: sleeps and local time.
#include <windows.h>

#include "platform/clock.h"
#include "platform/internal.h"

void RealSleepOneSecond() { Sleep(1000); }

void ReadLocalTime(LocalTime* now) {
  SYSTEMTIME local;
  GetLocalTime(&local);
  *now = {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}
