// The update guard: logoff, shutdown and sleep held off while the BMC is
// updated, where the platform lets a program ask that. Windows: a hidden
// window that refuses to end the session, with a reason the shutdown screen
// shows, keep-awake, and the console's close button greyed. Linux: a logind
// block inhibitor, which the flash program inherits. Where a piece is
// missing or refused, the rest goes on without it, and nothing is said.
#ifndef BMCUPDATE_PLATFORM_GUARD_H_
#define BMCUPDATE_PLATFORM_GUARD_H_

// Who holds the guard up.
enum GuardHolder {
  kGuardSpan = 1,   // the update span, to its final box
  kGuardFlash = 2,  // the flash program, until it has ended
};

// Both go through the platform seam (platform/seam.h).

// Raises the guard for both holders; returns once it stands, before the
// flash program starts. `title` and `reason` (in the console's encoding) are
// what a shutdown screen shows of the tool, where the platform shows any.
// Once per process.
void RaiseUpdateGuard(const char* title, const char* reason);

// `holder` lets go; the guard comes down when both have, or when the tool
// exits. Where the flash program holds a guard of its own (Linux: the
// inhibitor it inherits), the tool's comes down with the span. Any thread.
void ReleaseUpdateGuard(GuardHolder holder);

#endif  // BMCUPDATE_PLATFORM_GUARD_H_
