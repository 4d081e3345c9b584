// The interrupt handler on Windows: every console event (Ctrl+C, Ctrl+Break,
// the window closed, logoff, shutdown) reaches it on a thread of its own,
// while the tool's threads go on.
#include <windows.h>

#include <atomic>
#include <cstdlib>

#include "platform/internal.h"
#include "platform/interrupt.h"

namespace {

std::atomic<int> g_held{0};
// Held while the handler writes, so that the tool cannot end halfway.
CRITICAL_SECTION g_writing;
bool g_installed = false;

BOOL WINAPI EndOnInterrupt(DWORD /*event*/) {
  // A program still being started: wait until it is known whether it runs.
  while (g_held.load() != 0) Sleep(1);
  EnterCriticalSection(&g_writing);
  RunInterruptDuties();
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

}  // namespace

void InstallInterruptHandler() {
  if (g_installed) return;
  g_installed = true;
  InitializeCriticalSection(&g_writing);
  std::atexit(WaitForHandler);
  SetConsoleCtrlHandler(EndOnInterrupt, TRUE);
}

// The handler runs on a thread of its own, so holding back is its waiting.
void HoldInterrupts() { g_held.store(1); }

void ReleaseInterrupts() { g_held.store(0); }
