// The operator's console: what the tool writes there and reads from it.
// Each operation has a POSIX and a Windows implementation; all but the
// echo's go through the platform seam (platform/seam.h).
#ifndef BMCUPDATE_PLATFORM_CONSOLE_H_
#define BMCUPDATE_PLATFORM_CONSOLE_H_

// Writes a NUL-terminated byte string to standard output and flushes it, so
// that a countdown line is on the console before the sleep that follows.
void ConsoleWrite(const char* text);

// Reads one byte of standard input in text mode, as the Windows runtime
// reads it (see ReadTextByte): 0 to 255, or -1 at the end of input.
int ConsoleReadByte();

// Waits until the operator presses a key; returns at once at the end of
// input. `prompt` is shown where the interpreter has no pause prompt of its
// own.
void PauseForKey(const char* prompt);

// 1 where the console is the tool's alone and closes when it ends (a window
// a double-click opened), else 0.
int ConsoleIsOwn();

// Stops the echo of what is typed, where standard input is a console; an
// interrupt meanwhile puts the echo back first. 1 when stopped, 0 where
// there is no console to stop (input from a file or pipe).
int HideTypedInput();

// Puts back the echo that HideTypedInput stopped.
void ShowTypedInput();

#endif  // BMCUPDATE_PLATFORM_CONSOLE_H_
