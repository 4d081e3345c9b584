// What the platform files share with each other; the update logic never
// includes this. Each function has a POSIX and a Windows implementation
// unless it says otherwise.
#ifndef BMCUPDATE_PLATFORM_INTERNAL_H_
#define BMCUPDATE_PLATFORM_INTERNAL_H_

// The real operations behind the platform seam (platform/seam.h).
void RealConsoleWrite(const char* text);
int RealConsoleReadByte();
void RealSleepOneSecond();

// What a thread started by StartDetachedThread runs, packed for the one
// argument the platform's thread start passes on; null when out of memory.
void* NewThreadStart(void (*body)());

// Runs the body that NewThreadStart packed, and frees the pack.
void RunThreadStart(void* start);

// The folder lock LockFolder holds, as the platform's descriptor or handle
// value, for handing to the flash program alone; -1 when the tool holds none.
long long HeldFolderLock();

// POSIX only, where names keep their case: the name of the existing file of
// the working directory that `name` means without regard to case (written
// into `found`), or `name` itself.
const char* FindFileName(const char* name, char* found, int size);

// Installs the platform's interrupt handler, once; it calls
// RunInterruptDuties and then lets the interrupt end the tool.
void InstallInterruptHandler();

// Writes `text` as the last the console gets from the tool: nothing it
// writes afterwards reaches the console. Safe in a signal handler.
void WriteLastConsoleText(const char* text);

// What every interrupt handler does first: puts the console back and, while
// the notice is active, writes its text (WriteLastConsoleText) and appends
// its line.
void RunInterruptDuties();

#endif  // BMCUPDATE_PLATFORM_INTERNAL_H_
