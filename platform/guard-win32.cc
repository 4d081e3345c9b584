// The update guard on Windows: not yet taken.
#include "platform/guard.h"
#include "platform/internal.h"

void RealRaiseUpdateGuard(const char* /*title*/, const char* /*reason*/) {}

void RealReleaseUpdateGuard(GuardHolder /*holder*/) {}
