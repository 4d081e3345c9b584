// FlashFirmware gives the flash program the fixed countdown and then waits
// for it to end: the BMC reports "busy" exactly while it is written, and a
// revision read or a cold reset then would judge or break a flash in progress.
#include "flash/flash.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/guard.h"
#include "platform/process.h"
#include "procedure/texts.h"
#include "procedure/update.h"

namespace {

// 1 while the flash program the tool started runs; the wait for its end
// goes by it.
std::atomic<int> g_flashRunning{0};

// How long the flash program may outlast the countdown: 30 minutes.
const int kFlashWaitLimit = 30 * 60;

// 0 once the flash program has ended, -1 when it still runs at the limit.
int WaitForFlashEnd() {
  for (int waited = 0; g_flashRunning.load() != 0; ++waited) {
    if (waited == kFlashWaitLimit) return -1;
    SleepOneSecond();
    AcknowledgeInterrupt();
    ShowCountdownLine(kFlashWaitFormat, waited + 1);
  }
  return 0;
}

// Starts the flash program and the worker that waits for it; false when the
// program could not be started.
bool StartFlash() {
  char* command = static_cast<char*>(std::malloc(kFlashCommandSize));
  bool started = command != nullptr && FormatFlashCommand(command, kFlashCommandSize) == 0 &&
                 StartChild(command, "yes.txt") == 0;
  std::free(command);
  if (!started) return false;
  g_flashRunning.store(1);
  // Without a thread of its own the program is awaited here, before the
  // countdown: its end must be known before the revision is read.
  if (StartDetachedThread(FlashWorker) != 0) FlashWorker();
  return true;
}

}  // namespace

int FormatFlashCommand(char* buffer, int size) {
  const UpdateSettings& settings = g_updateSettings;
  int length =
      std::snprintf(buffer, static_cast<size_t>(size),
                    "Yafuflash.exe -force-boot -preserve-config -nw -ip %s -u \"\" -p \"%s\" %s",
                    settings.bmcAddress, settings.bmcPassword, settings.imageName);
  return length >= 0 && length < size ? 0 : -1;
}

void FlashWorker() {
  WaitForChild();
  g_flashRunning.store(0);
  ReleaseUpdateGuard(kGuardFlash);
}

FlashResult FlashFirmware() {
  if (!StartFlash()) {
    ReleaseUpdateGuard(kGuardFlash);
    ShowMessage(kMsgFlashNotStarted);
    return kFlashNotStarted;
  }
  ShowMessage(kMsgLineFeed);
  RunCountdown(kFlashCountdownFormat, 300);
  int ended = WaitForFlashEnd();
  ShowMessage(kMsgLineFeed);
  if (ended == 0) return kFlashEnded;
  ShowMessage(kMsgFlashStillRunning);
  return kFlashStillRunning;
}
