// What an interrupt must do, the same on every platform; the handlers that
// run it are in interrupt-posix.cc and interrupt-win32.cc.
#include "platform/interrupt.h"

#include <atomic>

#include "platform/files.h"
#include "platform/internal.h"

namespace {

// Read by the handler, on whichever thread the interrupt lands.
std::atomic<void (*)()> g_restore{nullptr};
std::atomic<const InterruptNotice*> g_notice{nullptr};
std::atomic<const std::atomic<int>*> g_active{nullptr};
static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");
static_assert(std::atomic<const InterruptNotice*>::is_always_lock_free, "read in a signal handler");

}  // namespace

void InstallInterruptNotice(const InterruptNotice* notice, const std::atomic<int>* active) {
  InstallInterruptHandler();
  g_active.store(active);
  g_notice.store(notice);
}

void RemoveInterruptNotice() { g_notice.store(nullptr); }

void SetInterruptRestorer(void (*restore)()) {
  if (restore != nullptr) InstallInterruptHandler();
  g_restore.store(restore);
}

void RunInterruptDuties() {
  void (*restore)() = g_restore.load();
  if (restore != nullptr) restore();
  const InterruptNotice* notice = g_notice.load();
  const std::atomic<int>* active = g_active.load();
  if (notice == nullptr || active == nullptr || active->load() == 0) return;
  WriteLastConsoleText(notice->text);
  if (notice->logName != nullptr) {
    (void)AppendTextLine(notice->logName, notice->logHeader, notice->logLine);
  }
}
