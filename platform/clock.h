// Time: the one-second sleep the countdowns are made of (through the
// platform seam, platform/seam.h), and the local time.
#ifndef BMCUPDATE_PLATFORM_CLOCK_H_
#define BMCUPDATE_PLATFORM_CLOCK_H_

// Sleeps for 1000 milliseconds.
void SleepOneSecond();

// A moment of local time.
struct LocalTime {
  int year, month, day, hour, minute, second;
};

// Reads the local time now.
void ReadLocalTime(LocalTime* now);

#endif  // BMCUPDATE_PLATFORM_CLOCK_H_
