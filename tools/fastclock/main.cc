// bmcupdate-fast: the tool with a fast clock, for the end-to-end tests and
// the quick demo. Its "second" lasts 2 ms, so that the 300- and 90-second
// waits take under a second. Never shipped.
#include <chrono>
#include <thread>

#include "platform/seam.h"
#include "procedure/update.h"

namespace {

void SleepTwoMilliseconds() { std::this_thread::sleep_for(std::chrono::milliseconds(2)); }

}  // namespace

int main() {
  PlatformSeam seam = {};
  seam.sleepOneSecond = SleepTwoMilliseconds;
  InstallPlatformSeam(seam);
  return RunUpdate();
}
