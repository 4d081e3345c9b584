// The real one-second sleep of the POSIX build; test variants link a shorter
// one in its place.
#include <time.h>

#include <cerrno>

#include "platform/platform.h"

void SleepOneSecond() {
  struct timespec left = {1, 0};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}
