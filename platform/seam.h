// The few platform operations that test programs and the fast-clock build
// replace: the console's write and read, and the one-second sleep. The tool
// calls them through one table, which holds the real operations unless a
// program installs its own at its start, before anything else runs. The
// shipped tool installs none.
#ifndef BMCUPDATE_PLATFORM_SEAM_H_
#define BMCUPDATE_PLATFORM_SEAM_H_

// The replaceable operations (see ConsoleWrite, ConsoleReadByte,
// SleepOneSecond).
struct PlatformSeam {
  void (*consoleWrite)(const char* text);
  int (*consoleReadByte)();
  void (*sleepOneSecond)();
};

// Puts the operations of `seam` in place; a null field keeps the real one.
void InstallPlatformSeam(const PlatformSeam& seam);

#endif  // BMCUPDATE_PLATFORM_SEAM_H_
