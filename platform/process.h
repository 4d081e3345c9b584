// The programs the tool runs and the folder they are found in: the command
// interpreter for icmd.exe and the pause, the flash program, and threads.
// All but the thread start go through the platform seam (platform/seam.h).
#ifndef BMCUPDATE_PLATFORM_PROCESS_H_
#define BMCUPDATE_PLATFORM_PROCESS_H_

// Makes the folder that holds the running program the working directory and
// the first place where external programs are looked for. 0, or -1 when the
// folder could not be determined (the working directory is then unchanged).
int EnterProgramFolder();

// What RunInterpreter saw.
enum InterpreterRun {
  kRunEnded = 0,        // the command ran to its end, however it went
  kRunInterrupted = 1,  // an interrupt ended it, in the update span
};

// Runs a command text through the command interpreter and waits for it
// without time limit. Callers judge a command only by the file it leaves
// behind. Outside the update span a command that an interrupt ended ends the
// tool too, as a shell does; in the span the interrupts the tool records do
// not reach the command, but one that reached it anyway (Ctrl+Break on
// Windows) is told.
InterpreterRun RunInterpreter(const char* commandText);

// 1 when the command interpreter would find the program `name` (the
// program's folder first, then PATH; where files have an execute bit, only
// one that has it), else 0.
int InterpreterFinds(const char* name);

// 1 when StartChild would find a file for the program `name` (runnable or
// not), else 0.
int FlashStartFinds(const char* name);

// Starts a thread running `body` that nothing will join; its handle is not
// kept. 0, or -1 when the thread could not be started.
int StartDetachedThread(void (*body)());

// Starts the program named by the first word of `commandLine` (looked for
// in the program's folder first; a file of that name there that cannot be
// run is not passed over for another), with standard input read from the
// file `inputName`, standard output and error discarded, and the handles
// handed on to it (the locks, the update guard) and no others. The line is
// split into arguments as a Windows program's runtime splits it. Nothing
// that befalls the tool's console reaches it: no interrupt, no hang-up, not
// its window closing. One child at a time. `commandLine` may be modified.
// 0 when the program started, -1 when it could not be started.
int StartChild(char* commandLine, const char* inputName);

// Waits without time limit for the program StartChild started to end, and
// lets go of all the tool held for it. On any one thread.
void WaitForChild();

#endif  // BMCUPDATE_PLATFORM_PROCESS_H_
