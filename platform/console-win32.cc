// The console on Windows, through the C runtime's standard streams: its text
// mode turns each LF into CR LF on the way out, and reads CR LF as LF and
// byte 1Ah as the end on the way in.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/console.h"
#include "platform/internal.h"
#include "platform/interrupt.h"

// The runtime locks the stream for each call: text written from the
// handler's thread never lands inside another line's bytes.
void RealConsoleWrite(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}

int RealConsoleReadByte() {
  int got = std::getchar();
  return got == EOF ? -1 : got;
}

void RealPauseForKey(const char* /*prompt: cmd.exe prints its own*/) {
  std::fflush(stdout);
  int ignored = std::system("pause");
  (void)ignored;
}

// Started by a double-click, the tool is the one process on its console.
int RealConsoleIsOwn() {
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2) == 1 ? 1 : 0;
}

namespace {

DWORD g_savedInputMode;

// Puts back the input mode HideTypedInput changed, also from the interrupt
// handler's thread.
void RestoreInputMode() { SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), g_savedInputMode); }

}  // namespace

int HideTypedInput() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (!GetConsoleMode(input, &g_savedInputMode)) return 0;
  SetInterruptRestorer(RestoreInputMode);
  if (SetConsoleMode(input, g_savedInputMode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT))) return 1;
  SetInterruptRestorer(nullptr);
  return 0;
}

void ShowTypedInput() {
  RestoreInputMode();
  SetInterruptRestorer(nullptr);
}
