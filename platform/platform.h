// Every operating-system service the update logic needs. One implementation
// per platform is linked in; tests link a fake one instead. Nothing here
// exits the process, and no OS type appears in this header.
#ifndef BMCUPDATE_PLATFORM_PLATFORM_H_
#define BMCUPDATE_PLATFORM_PLATFORM_H_

#include <cstdio>

// Makes the folder that holds the running program the working directory and
// the first place where external programs are looked for. 0, or -1 when the
// folder could not be determined (the working directory is then unchanged).
int EnterProgramFolder();

// Writes a NUL-terminated byte string to standard output and flushes it, so
// that a countdown line is on the console before the sleep that follows.
void ConsoleWrite(const char* text);

// Reads one byte of standard input in text mode, as the Windows runtime
// reads it (see ReadTextByte): 0 to 255, or -1 at the end of input.
int ConsoleReadByte();

// Runs a command text through the command interpreter and waits for it
// without time limit. The outcome is not reported: callers judge a command
// only by the file it leaves behind.
void RunInterpreter(const char* commandText);

// Waits until the operator presses a key; returns at once at the end of
// input. `prompt` is shown where the interpreter has no pause prompt of its
// own.
void PauseForKey(const char* prompt);

// Stops the echo of what is typed, where standard input is a console; an
// interrupt meanwhile puts the echo back first. 1 when stopped, 0 where
// there is no console to stop (input from a file or pipe).
int HideTypedInput();

// Puts back the echo that HideTypedInput stopped.
void ShowTypedInput();

// A file opened for text-mode reading (see ReadTextLine).
struct TextInput {
  std::FILE* stream;  // opened for binary reading; text mode is our own code
  int pending;        // a byte read ahead, or -1
  int ended;          // 1 once the end of the text (or byte 1Ah) was met
};

// Opens a file of the working directory for text-mode reading. File names
// are matched without regard to case, as on Windows. 0, or -1 when the file
// cannot be opened.
int OpenTextInput(const char* name, TextInput* input);

// Reads one byte in text mode (CR LF reads as LF, a lone CR stays, byte 1Ah
// ends the text): 0 to 255, or -1 at the end.
int ReadTextByte(TextInput* input);

// Reads one line in text mode (CR LF reads as LF, a lone CR stays, byte 1Ah
// ends the text): at most size - 1 bytes, stopping after the first LF, which
// is kept, then a NUL. Returns the number of bytes stored; 0 at the end.
int ReadTextLine(TextInput* input, char* line, int size);

// Closes a file opened by OpenTextInput.
void CloseTextInput(TextInput* input);

// Deletes a file of the working directory, matched as OpenTextInput matches.
// 0, or -1 when nothing was deleted.
int DeleteNamedFile(const char* name);

// Sleeps for 1000 milliseconds.
void SleepOneSecond();

// Sleeps for a millisecond or so, whatever the clock of the build.
void SleepBriefly();

// Starts a thread running `body` that nothing will join; its handle is not
// kept. 0, or -1 when the thread could not be started.
int StartDetachedThread(void (*body)());

// Starts the program named by the first word of `commandLine` (looked for
// in the program's folder first; a file of that name there that cannot be
// run is not passed over for another), with standard input read from the
// file `inputName`, standard output and error discarded, and the folder's
// lock handed to it alone. The line is split into arguments as a Windows
// program's runtime splits it. Nothing that befalls the tool's console
// reaches it: not Ctrl+C nor Ctrl+Break, not a hang-up, not its window
// closing. Until WaitForChild sees it end, the system is kept awake where the
// platform lets sleep suspend it. One child at a time. `commandLine` may be
// modified. 0 when the program started, -1 when it could not be started.
int StartChild(char* commandLine, const char* inputName);

// Waits without time limit for the program StartChild started to end, and
// lets go of all it held for it. On the thread that started it.
void WaitForChild();

// Takes an exclusive lock on the file `name` of the working directory, held
// to the end of the process and of the flash program (StartChild), and
// released by the operating system however they end. 0 when taken, 1 when
// another process holds it, -1 when the file could not be made.
int LockFolder(const char* name);

// A moment of local time.
struct LocalTime {
  int year, month, day, hour, minute, second;
};

// Reads the local time now.
void ReadLocalTime(LocalTime* now);

// Appends `line`, after `header` when the file is new or empty, to the file
// `name` of the working directory in one write; LF ends a line as in every
// text file of the platform. 0, or -1 when nothing was written.
int AppendTextLine(const char* name, const char* header, const char* line);

#endif  // BMCUPDATE_PLATFORM_PLATFORM_H_
