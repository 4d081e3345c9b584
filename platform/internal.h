// What the platform files share with each other; the update logic never
// includes this. Each function has a POSIX and a Windows implementation
// unless it says otherwise.
#ifndef BMCUPDATE_PLATFORM_INTERNAL_H_
#define BMCUPDATE_PLATFORM_INTERNAL_H_

#include "platform/files.h"
#include "platform/guard.h"
#include "platform/interrupt.h"
#include "platform/process.h"

// The real operations behind the platform seam (platform/seam.h), with the
// contracts of the operations of the same names without "Real".
void RealConsoleWrite(const char* text);
int RealConsoleReadByte();
void RealPauseForKey(const char* prompt);
int RealConsoleIsOwn();
void RealSleepOneSecond();
int RealEnterProgramFolder();
InterpreterRun RealRunInterpreter(const char* commandText);
int RealInterpreterFinds(const char* name);
int RealFlashStartFinds(const char* name);
int RealStartChild(char* commandLine, const char* inputName);
void RealWaitForChild();
long long RealRegularFileSize(const char* name);
int RealProbeFolderWritable(const char* probeName);
LockResult RealLockFolder(const char* name);
LockResult RealLockInTempFolder(const char* name);
void RealEnterUpdateSpan();  // shared code, as the two below
void RealLeaveUpdateSpan();
int RealTakeInterrupt();
void RealRaiseUpdateGuard(const char* title, const char* reason);
void RealReleaseUpdateGuard(GuardHolder holder);

// 1 while the update span lasts (EnterUpdateSpan). Shared code, safe in a
// signal handler.
int InUpdateSpan();

// What a thread started by StartDetachedThread runs, packed for the one
// argument the platform's thread start passes on; null when out of memory.
void* NewThreadStart(void (*body)());

// Runs the body that NewThreadStart packed, and frees the pack.
void RunThreadStart(void* start);

// Hands a descriptor or handle (the platform's value) on to the flash
// program, beside its standard ones: the locks, the update guard. The tool
// keeps its own; nothing else the tool starts gets it. Shared code.
void HandOnToFlash(long long handle);

// Takes back a HandOnToFlash before the handle closes. Shared code.
void StopHandingOn(long long handle);

// How many handles are handed on, and the one at `index`. Shared code.
int HandedOnCount();
long long HandedOn(int index);

// POSIX only, where names keep their case: the name of the existing file of
// the working directory that `name` means without regard to case (written
// into `found`), or `name` itself.
const char* FindFileName(const char* name, char* found, int size);

// Installs the platform's interrupt handlers, which feed the state below.
void InstallPlatformHandlers();

// Records an interrupt that came in the update span. Shared code, safe in a
// signal handler.
void RecordInterrupt();

// Puts back a console mode the tool changed. Shared code, safe in a signal
// handler.
void RestoreConsole();

// Calls the duty given to InstallInterruptHandlers, once in all. Shared code.
void RunEndingDuty(EndingEvent event);

// POSIX only: ends the tool by the signal that ended a program it ran, as a
// shell does; returns where the tool ignores that signal.
void EndLikeChild(int signalNumber);

#endif  // BMCUPDATE_PLATFORM_INTERNAL_H_
