// The few operating-system services the simulated BMC needs that differ
// between platforms; one of host-posix.cc and host-win32.cc is linked in.
#ifndef BMCSIM_HOST_H_
#define BMCSIM_HOST_H_

// Makes the standard streams usable and byte-exact: every byte written or
// read passes unchanged (no LF to CR LF, no 1Ah as end of input), and an
// output the parent left closed writes to nowhere. The input stays as given.
void PrepareStandardStreams();

// The raw command line the program was started with, as a NUL-terminated
// string, or null where the platform starts programs from an argument vector.
const char* RawCommandLine();

// Moves file `from` over file `to`, replacing it in one step. 0, or -1.
int ReplaceFileAtomically(const char* from, const char* to);

// 1 when the console's Ctrl+C cannot reach this program (a session or, on
// Windows, a process group of its own), else 0.
int ShieldedFromConsoleInterrupt();

// The first folder PATH lists, without the double quotes Windows allows
// around an entry, into `folder` (`size` bytes). 0, or -1 when PATH is unset
// or empty.
int FirstPathFolder(char* folder, int size);

// 1 when this process holds an open descriptor or handle to a file named
// `name` (in any folder), else 0.
int HoldsOpenFile(const char* name);

// How many processes share this process's console: 0 where it has none,
// -1 where the platform has no such thing.
int ConsoleProcessCount();

#endif  // BMCSIM_HOST_H_
