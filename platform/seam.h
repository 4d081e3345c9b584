// The platform operations that test programs and the fast-clock build
// replace: what the update flow decides on. The tool calls them through one
// table, which holds the real operations unless a program installs its own
// at its start, before anything else runs. The shipped tool installs none;
// the operations keep the names and contracts of their platform headers.
#ifndef BMCUPDATE_PLATFORM_SEAM_H_
#define BMCUPDATE_PLATFORM_SEAM_H_

#include "platform/files.h"
#include "platform/guard.h"
#include "platform/process.h"

// The replaceable operations, each as its header declares it.
struct PlatformSeam {
  // console.h: what the operator sees and types.
  void (*consoleWrite)(const char* text);
  int (*consoleReadByte)();
  void (*pauseForKey)(const char* prompt);
  int (*consoleIsOwn)();
  // clock.h: the countdowns' second.
  void (*sleepOneSecond)();
  // process.h: the folder, the interpreter, the flash program, and where
  // each finds its program.
  int (*enterProgramFolder)();
  InterpreterRun (*runInterpreter)(const char* commandText);
  int (*interpreterFinds)(const char* name);
  int (*flashStartFinds)(const char* name);
  int (*startChild)(char* commandLine, const char* inputName);
  void (*waitForChild)();
  // files.h: the folder's checks and the locks.
  long long (*regularFileSize)(const char* name);
  int (*probeFolderWritable)(const char* probeName);
  LockResult (*lockFolder)(const char* name);
  LockResult (*lockInTempFolder)(const char* name);
  // interrupt.h and guard.h: the update span, what came in it, its guard.
  void (*enterUpdateSpan)();
  void (*leaveUpdateSpan)();
  int (*takeInterrupt)();
  void (*raiseUpdateGuard)(const char* title, const char* reason);
  void (*releaseUpdateGuard)(GuardHolder holder);
};

// The real operations, for a program that replaces only some of them.
const PlatformSeam& RealPlatformSeam();

// Puts the operations of `seam` in place; a null field keeps the one in
// place.
void InstallPlatformSeam(const PlatformSeam& seam);

#endif  // BMCUPDATE_PLATFORM_SEAM_H_
