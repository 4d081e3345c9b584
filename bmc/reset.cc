// ResetBmc: IPMI Cold Reset, its output discarded, then the restart wait.
// Nothing is judged here; the version query that follows tells.
#include <cstdlib>

#include "bmc/icmd_call.h"
#include "procedure/texts.h"
#include "procedure/update.h"

ResetResult ResetBmc() {
  char* line = static_cast<char*>(std::malloc(kIcmdBufferSize));
  if (line != nullptr) {
    (void)RunIcmd(line, kIcmdBufferSize, "00 20 18 02 > nul", nullptr);
    std::free(line);
  }
  RunCountdown(kResetCountdownFormat, 90);
  ShowMessage(kMsgLineFeed);
  return kResetDone;
}
