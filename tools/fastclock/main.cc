// bmcupdate-fast: the tool with a fast clock, for the end-to-end tests, the
// quick demo and the benchmark. Its "second" lasts 2 ms, so that the 300- and
// 90-second waits take under a second. Never shipped.
#include <time.h>

#include <cerrno>

#include "platform/seam.h"
#include "procedure/update.h"

namespace {

const long kSecondNs = 2000000;

// Nanoseconds on the monotonic clock. The C library's clock, not C++'s: that
// one would link the C++ runtime into a tool the benchmark measures.
long long NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Each second ends 2 ms after the one before, as long as they follow one
// another: a sleep wakes some 0.1 ms late, which is nothing to the real
// tool's second but would stretch 300 fast ones by 5 %. After a pause (a
// request, a prompt) the beat starts afresh.
void SleepTwoMilliseconds() {
  static long long end = 0;
  long long now = NowNs();
  end = (now - end < kSecondNs ? end : now) + kSecondNs;
  // Relative, as every C library has it (MinGW's has no absolute one).
  long long left = end - now;
  timespec wait{static_cast<time_t>(left / 1000000000LL), static_cast<long>(left % 1000000000LL)};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

}  // namespace

int main() {
  PlatformSeam seam = {};
  seam.sleepOneSecond = SleepTwoMilliseconds;
  InstallPlatformSeam(seam);
  return RunUpdate();
}
