// The clock on POSIX: sleeps and local time.
#include <time.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/clock.h"
#include "platform/internal.h"

void RealSleepOneSecond() {
  struct timespec left = {1, 0};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

void ReadLocalTime(LocalTime* now) {
  std::time_t seconds = std::time(nullptr);
  struct tm local;
  std::memset(&local, 0, sizeof local);
  localtime_r(&seconds, &local);
  *now = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}
