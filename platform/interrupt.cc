// The interrupt state, the same on every platform; the handlers that feed it
// are in interrupt-posix.cc and interrupt-win32.cc.
#include "platform/interrupt.h"

#include <atomic>

#include "platform/internal.h"

namespace {

// Read and written by the handlers, on whichever thread an interrupt lands.
std::atomic<int> g_inSpan{0};
std::atomic<int> g_recorded{0};
std::atomic<int> g_taken{0};
std::atomic<int> g_endingCalled{0};
std::atomic<void (*)()> g_restore{nullptr};
std::atomic<void (*)(EndingEvent)> g_ending{nullptr};
static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");
static_assert(std::atomic<void (*)()>::is_always_lock_free, "read in a signal handler");

}  // namespace

void InstallInterruptHandlers(void (*ending)(EndingEvent event)) {
  g_ending.store(ending);
  InstallPlatformHandlers();
}

void RealEnterUpdateSpan() { g_inSpan.store(1); }

void RealLeaveUpdateSpan() { g_inSpan.store(0); }

int InUpdateSpan() { return g_inSpan.load(); }

int RealTakeInterrupt() { return g_recorded.load() != 0 && g_taken.exchange(1) == 0 ? 1 : 0; }

void SetInterruptRestorer(void (*restore)()) { g_restore.store(restore); }

void RecordInterrupt() { g_recorded.store(1); }

void RestoreConsole() {
  void (*restore)() = g_restore.load();
  if (restore != nullptr) restore();
}

void RunEndingDuty(EndingEvent event) {
  void (*ending)(EndingEvent) = g_ending.load();
  if (ending != nullptr && g_endingCalled.exchange(1) == 0) ending(event);
}
