// The console on POSIX. Standard input is read in the text mode of the
// Windows runtime (CR LF as LF, byte 1Ah ends it), so that the same answers,
// typed or from a file written on Windows, mean the same. Where it is a
// terminal, the terminal's modes are changed for the hidden password and the
// one-key pause, and put back also when an interrupt ends the tool.
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/console.h"
#include "platform/files.h"
#include "platform/internal.h"
#include "platform/interrupt.h"

namespace {

TextInput g_standardInput = {stdin, -1, 0};

struct termios g_savedTerminal;

// Puts back what ChangeTerminal changed; safe in a signal handler.
void RestoreTerminalNow() { tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTerminal); }

void RestoreTerminal() {
  RestoreTerminalNow();
  SetInterruptRestorer(nullptr);
}

// Clears `modes` of the terminal's local modes; a signal that ends the tool
// meanwhile puts them back first. false when standard input is no terminal.
bool ChangeTerminal(tcflag_t modes) {
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &g_savedTerminal) != 0) return false;
  SetInterruptRestorer(RestoreTerminalNow);
  struct termios changed = g_savedTerminal;
  changed.c_lflag &= ~modes;
  // Some systems keep VMIN and VTIME where canonical mode keeps VEOF, VEOL.
  if ((modes & ICANON) != 0) {
    changed.c_cc[VMIN] = 1;
    changed.c_cc[VTIME] = 0;
  }
  if (tcsetattr(STDIN_FILENO, TCSANOW, &changed) == 0) return true;
  RestoreTerminal();
  return false;
}

}  // namespace

void RealConsoleWrite(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}

int RealConsoleReadByte() { return ReadTextByte(&g_standardInput); }

void RealPauseForKey(const char* prompt) {
  std::fputs(prompt, stdout);
  std::fflush(stdout);
  if (ChangeTerminal(ICANON | ECHO)) {
    (void)std::getchar();
    RestoreTerminal();
  } else {
    // Without a terminal a key is a line; the end of input ends the wait.
    for (int byte = ConsoleReadByte(); byte >= 0 && byte != '\n'; byte = ConsoleReadByte()) {
    }
  }
  std::fputs("\n", stdout);
  std::fflush(stdout);
}

// A terminal outlives the programs run in it.
int RealConsoleIsOwn() { return 0; }

int HideTypedInput() { return ChangeTerminal(ECHO) ? 1 : 0; }

void ShowTypedInput() { RestoreTerminal(); }
