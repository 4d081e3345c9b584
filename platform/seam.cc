// The platform seam, the same on every platform: the real operations by
// default, and the entry points the update logic calls.
#include "platform/seam.h"

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/internal.h"
#include "platform/interrupt.h"
#include "platform/process.h"

namespace {

const PlatformSeam kReal = {
    RealConsoleWrite,        RealConsoleReadByte,    RealPauseForKey,      RealConsoleIsOwn,
    RealSleepOneSecond,      RealEnterProgramFolder, RealRunInterpreter,   RealInterpreterFinds,
    RealFlashStartFinds,     RealStartChild,         RealWaitForChild,     RealRegularFileSize,
    RealProbeFolderWritable, RealLockFolder,         RealLockInTempFolder, RealEnterUpdateSpan,
    RealLeaveUpdateSpan,     RealTakeInterrupt,      RealRaiseUpdateGuard, RealReleaseUpdateGuard,
};

PlatformSeam g_seam = kReal;

// `field` of `from` where it is set.
template <typename Operation>
void Take(Operation& field, Operation from) {
  if (from != nullptr) field = from;
}

}  // namespace

const PlatformSeam& RealPlatformSeam() { return kReal; }

void InstallPlatformSeam(const PlatformSeam& seam) {
  Take(g_seam.consoleWrite, seam.consoleWrite);
  Take(g_seam.consoleReadByte, seam.consoleReadByte);
  Take(g_seam.pauseForKey, seam.pauseForKey);
  Take(g_seam.consoleIsOwn, seam.consoleIsOwn);
  Take(g_seam.sleepOneSecond, seam.sleepOneSecond);
  Take(g_seam.enterProgramFolder, seam.enterProgramFolder);
  Take(g_seam.runInterpreter, seam.runInterpreter);
  Take(g_seam.interpreterFinds, seam.interpreterFinds);
  Take(g_seam.flashStartFinds, seam.flashStartFinds);
  Take(g_seam.startChild, seam.startChild);
  Take(g_seam.waitForChild, seam.waitForChild);
  Take(g_seam.regularFileSize, seam.regularFileSize);
  Take(g_seam.probeFolderWritable, seam.probeFolderWritable);
  Take(g_seam.lockFolder, seam.lockFolder);
  Take(g_seam.lockInTempFolder, seam.lockInTempFolder);
  Take(g_seam.enterUpdateSpan, seam.enterUpdateSpan);
  Take(g_seam.leaveUpdateSpan, seam.leaveUpdateSpan);
  Take(g_seam.takeInterrupt, seam.takeInterrupt);
  Take(g_seam.raiseUpdateGuard, seam.raiseUpdateGuard);
  Take(g_seam.releaseUpdateGuard, seam.releaseUpdateGuard);
}

void ConsoleWrite(const char* text) { g_seam.consoleWrite(text); }
int ConsoleReadByte() { return g_seam.consoleReadByte(); }
void PauseForKey(const char* prompt) { g_seam.pauseForKey(prompt); }
int ConsoleIsOwn() { return g_seam.consoleIsOwn(); }
void SleepOneSecond() { g_seam.sleepOneSecond(); }
int EnterProgramFolder() { return g_seam.enterProgramFolder(); }
InterpreterRun RunInterpreter(const char* commandText) {
  return g_seam.runInterpreter(commandText);
}
int InterpreterFinds(const char* name) { return g_seam.interpreterFinds(name); }
int FlashStartFinds(const char* name) { return g_seam.flashStartFinds(name); }
int StartChild(char* commandLine, const char* inputName) {
  return g_seam.startChild(commandLine, inputName);
}
void WaitForChild() { g_seam.waitForChild(); }
long long RegularFileSize(const char* name) { return g_seam.regularFileSize(name); }
int ProbeFolderWritable(const char* probeName) { return g_seam.probeFolderWritable(probeName); }
LockResult LockFolder(const char* name) { return g_seam.lockFolder(name); }
LockResult LockInTempFolder(const char* name) { return g_seam.lockInTempFolder(name); }
void EnterUpdateSpan() { g_seam.enterUpdateSpan(); }
void LeaveUpdateSpan() { g_seam.leaveUpdateSpan(); }
int TakeInterrupt() { return g_seam.takeInterrupt(); }
void RaiseUpdateGuard(const char* title, const char* reason) {
  g_seam.raiseUpdateGuard(title, reason);
}
void ReleaseUpdateGuard(GuardHolder holder) { g_seam.releaseUpdateGuard(holder); }
