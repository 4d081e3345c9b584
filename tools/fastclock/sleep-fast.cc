// The fast-clock sleep of the test and demo variant bmcupdate-fast: a
// "second" of 2 ms, so that the 300 and 90 second waits take under a second.
// Never linked into the shipped tool.
#include <chrono>
#include <thread>

#include "platform/platform.h"

void SleepOneSecond() { std::this_thread::sleep_for(std::chrono::milliseconds(2)); }
