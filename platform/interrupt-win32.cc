// The console's events on Windows: Ctrl+C, Ctrl+Break and the window closed
// reach this handler on a thread of their own, while the tool's threads go
// on. Logoff and shutdown reach the update guard's window instead (a program
// that uses user32 no longer gets them here).
#include <windows.h>

#include "platform/internal.h"
#include "platform/interrupt.h"

namespace {

BOOL WINAPI OnConsoleEvent(DWORD event) {
  bool ending =
      event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
  if (InUpdateSpan() != 0) {
    if (!ending) {
      RecordInterrupt();
      return TRUE;
    }
    RunEndingDuty(event == CTRL_CLOSE_EVENT ? kEndingWindowClosed : kEndingSession);
  }
  RestoreConsole();
  // The next handler, in the end the system's, ends the tool.
  return FALSE;
}

}  // namespace

void InstallPlatformHandlers() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }
