// The one-line countdown shown while the BMC is busy. It counts sleeps, not
// elapsed time, so it lasts a little longer than its seconds.
#include "platform/clock.h"
#include "procedure/texts.h"
#include "procedure/update.h"

void RunCountdown(const char* format, int seconds) {
  for (int left = seconds; left >= 1; --left) {
    ShowCountdownLine(format, left);
    SleepOneSecond();
    AcknowledgeInterrupt();
  }
}
