// Interrupts on Windows: every console event (Ctrl+C, Ctrl+Break, the window
// closed, logoff, shutdown) reaches one handler, which runs on a thread of
// its own while the tool's threads go on.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/interrupt.h"
#include "platform/platform.h"

namespace {

std::atomic<void (*)()> g_restore{nullptr};
std::atomic<const InterruptNotice*> g_notice{nullptr};
std::atomic<const std::atomic<int>*> g_active{nullptr};
std::atomic<int> g_held{0};
// Held while the handler writes, so that the tool cannot end halfway.
CRITICAL_SECTION g_writing;
bool g_installed = false;

BOOL WINAPI EndOnInterrupt(DWORD /*event*/) {
  // A program still being started: wait until it is known whether it runs.
  while (g_held.load() != 0) Sleep(1);
  EnterCriticalSection(&g_writing);
  void (*restore)() = g_restore.load();
  if (restore != nullptr) restore();
  const InterruptNotice* notice = g_notice.load();
  const std::atomic<int>* active = g_active.load();
  if (notice != nullptr && active != nullptr && active->load() != 0) {
    // Kept locked: the countdown must not write after the notice while the
    // system ends the tool (this thread ends it, so nothing waits for it).
    _lock_file(stdout);
    std::fputs(notice->text, stdout);
    std::fflush(stdout);
    if (notice->logName != nullptr) {
      (void)AppendTextLine(notice->logName, notice->logHeader, notice->logLine);
    }
  }
  LeaveCriticalSection(&g_writing);
  // The next handler, in the end the system's, ends the tool.
  return FALSE;
}

// The same Ctrl+C may end the final pause and so the tool: not before the
// handler is done.
void WaitForHandler() {
  EnterCriticalSection(&g_writing);
  LeaveCriticalSection(&g_writing);
}

void InstallHandler() {
  if (g_installed) return;
  g_installed = true;
  InitializeCriticalSection(&g_writing);
  std::atexit(WaitForHandler);
  SetConsoleCtrlHandler(EndOnInterrupt, TRUE);
}

}  // namespace

void InstallInterruptNotice(const InterruptNotice* notice, const std::atomic<int>* active) {
  InstallHandler();
  g_active.store(active);
  g_notice.store(notice);
}

void RemoveInterruptNotice() { g_notice.store(nullptr); }

// The handler runs on a thread of its own, so holding back is its waiting.
void HoldInterrupts() { g_held.store(1); }

void ReleaseInterrupts() { g_held.store(0); }

void SetInterruptRestorer(void (*restore)()) {
  if (restore != nullptr) InstallHandler();
  g_restore.store(restore);
}
