// The update span in the flow: from just before the flash program starts
// to the final box, the update is finished whatever comes. Its start and
// end, and what the tool says of an interrupt in it.
#include "platform/guard.h"
#include "platform/interrupt.h"
#include "procedure/texts.h"
#include "procedure/update.h"

namespace {

// True from BeginUpdateSpan to EndUpdateSpan.
bool g_spanOpen = false;

}  // namespace

void BeginUpdateSpan() {
  EnterUpdateSpan();
  // The guard stands before the flash program starts.
  RaiseUpdateGuard(kGuardTitle, kGuardReason);
  g_spanOpen = true;
}

void EndUpdateSpan() {
  if (!g_spanOpen) return;
  g_spanOpen = false;
  LeaveUpdateSpan();
  ReleaseUpdateGuard(kGuardSpan);
}

int UpdateSpanOpen() { return g_spanOpen ? 1 : 0; }

void AcknowledgeInterrupt() {
  if (TakeInterrupt() != 0) ShowMessage(kMsgCannotInterrupt);
}
