// Splitting a command line into arguments by the rules of the Windows C
// runtime, for platforms that start programs from an argument vector.
#ifndef BMCUPDATE_PLATFORM_WINDOWS_ARGV_H_
#define BMCUPDATE_PLATFORM_WINDOWS_ARGV_H_

// Splits `line` into at most maxArgs - 1 arguments written into `out`
// (outSize bytes), with argv[argc] set to null. Returns argc, or -1 when the
// line has no program name or does not fit.
int SplitWindowsCommandLine(const char* line, char* out, int outSize, char** argv, int maxArgs);

#endif  // BMCUPDATE_PLATFORM_WINDOWS_ARGV_H_
