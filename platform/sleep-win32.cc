// The real one-second sleep of the Windows build; test variants link a
// shorter one in its place.
#include <windows.h>

#include "platform/platform.h"

void SleepOneSecond() { Sleep(1000); }
