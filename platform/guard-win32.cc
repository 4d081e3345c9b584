// The update guard on Windows. A thread of its own owns a hidden top-level
// window that refuses to end the session and gives the shutdown screen the
// tool's title and reason; the same thread keeps the system awake (the
// request belongs to the thread that made it) and greys the console's close
// button. The last holder to let go posts it a message and waits while it
// takes all of that back. A piece the system lacks or refuses is left out;
// the rest stands.
#include <process.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>

#include "platform/guard.h"
#include "platform/internal.h"

namespace {

// Posted to the guard's thread once both holders have let go.
const UINT kLowerGuard = WM_APP + 1;
const wchar_t kWindowClass[] = L"bmcupdate-guard";

// Applications' shutdown levels run from 0x100 to 0x3FF, the higher asked
// first. At the top, the refusal comes before any other program, the flash
// program among them (default 0x280), is told to end.
const DWORD kShutdownLevel = 0x3FF;

// The holders (GuardHolder bits) that still hold; the guard's thread, its
// id and handle.
std::atomic<int> g_holders{0};
std::atomic<DWORD> g_guardThreadId{0};
std::atomic<HANDLE> g_guardThread{nullptr};

// 1 while the close button is greyed; what it was before.
std::atomic<int> g_closeGreyed{0};
UINT g_closeBefore = MF_ENABLED;

// What the shutdown screen shows, in UTF-16.
wchar_t g_title[256];
wchar_t g_reason[256];

// `text` (code page 932) into `wide`; empty where it cannot be converted.
void ToWide(const char* text, wchar_t (&wide)[256]) {
  if (MultiByteToWideChar(932, 0, text, -1, wide, 256) == 0) wide[0] = L'\0';
}

// The console window's system menu, where the tool can reach one (not in a
// terminal program, nor without a console).
HMENU ConsoleMenu() {
  HWND console = GetConsoleWindow();
  return console != nullptr ? GetSystemMenu(console, FALSE) : nullptr;
}

void GreyCloseButton() {
  HMENU menu = ConsoleMenu();
  if (menu == nullptr) return;
  DWORD before = EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  // A menu without a close item has nothing to put back.
  if (before == static_cast<DWORD>(-1)) return;
  g_closeBefore = before & (MF_GRAYED | MF_DISABLED);
  g_closeGreyed.store(1);
}

// Once, from the guard's thread or at exit: the console can outlive the
// tool (a command prompt's), and its button must not stay greyed.
void RestoreCloseButton() {
  if (g_closeGreyed.exchange(0) == 0) return;
  HMENU menu = ConsoleMenu();
  if (menu != nullptr) EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | g_closeBefore);
}

LRESULT CALLBACK OnGuardMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_QUERYENDSESSION: return FALSE;
    case WM_ENDSESSION:
      // The session ends all the same (the operator chose to): the run's
      // line, before the system ends the process. After the span (a flash
      // still running at the final pause) the run has written its line.
      if (wParam != FALSE && InUpdateSpan() != 0) RunEndingDuty(kEndingSession);
      return 0;
    case WM_CLOSE: return 0;  // only the holders bring the guard down
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

// The hidden window, with the tool's title; null where it cannot be made.
HWND MakeGuardWindow() {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = OnGuardMessage;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassW(&windowClass);
  // Top-level, not message-only: only top-level windows are asked whether
  // the session may end.
  return CreateWindowExW(0, kWindowClass, g_title, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr,
                         nullptr, windowClass.hInstance, nullptr);
}

// Everything the guard's thread holds, taken back on that thread.
void LowerGuard(HWND window) {
  if (window != nullptr) {
    ShutdownBlockReasonDestroy(window);
    DestroyWindow(window);
  }
  SetThreadExecutionState(ES_CONTINUOUS);
  RestoreCloseButton();
}

// Started by the runtime: the ending duty, on this thread, writes through it.
unsigned __stdcall GuardThread(void* ready) {
  HWND window = MakeGuardWindow();
  // Only the window's own thread may give it a reason.
  if (window != nullptr) ShutdownBlockReasonCreate(window, g_reason);
  SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
  GreyCloseButton();
  MSG message;
  // The queue must exist before a holder posts to it.
  PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  g_guardThreadId.store(GetCurrentThreadId());
  SetEvent(static_cast<HANDLE>(ready));
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == kLowerGuard) break;
    DispatchMessageW(&message);
  }
  LowerGuard(window);
  return 0;
}

}  // namespace

void RealRaiseUpdateGuard(const char* title, const char* reason) {
  if (g_holders.exchange(kGuardSpan | kGuardFlash) != 0) return;
  SetProcessShutdownParameters(kShutdownLevel, 0);
  ToWide(title, g_title);
  ToWide(reason, g_reason);
  std::atexit(RestoreCloseButton);
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (ready == nullptr) return;
  auto thread =
      reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, GuardThread, ready, 0, nullptr));
  if (thread != nullptr) {
    // The flash program starts right after: the guard stands by then (or
    // its thread is gone).
    HANDLE either[2] = {ready, thread};
    WaitForMultipleObjects(2, either, FALSE, INFINITE);
    g_guardThread.store(thread);
  }
  CloseHandle(ready);
}

void RealReleaseUpdateGuard(GuardHolder holder) {
  if (g_holders.fetch_and(~holder) != holder) return;
  HANDLE thread = g_guardThread.exchange(nullptr);
  if (thread == nullptr) return;
  // Down before the last holder goes on: the final pause holds off nothing.
  if (PostThreadMessageW(g_guardThreadId.load(), kLowerGuard, 0, 0)) {
    WaitForSingleObject(thread, INFINITE);
  }
  CloseHandle(thread);
}
