// The update guard on Windows: not yet taken.
#include "platform/guard.h"

void RaiseUpdateGuard(const char* /*title*/, const char* /*reason*/) {}

void ReleaseUpdateGuard(GuardHolder /*holder*/) {}
