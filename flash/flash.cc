// FlashFirmware gives the flash program the fixed countdown and then waits
// for it to end: the BMC reports "busy" exactly while it is written, and a
// revision read or a cold reset then would judge or break a flash in progress.
#include "flash/flash.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "procedure/texts.h"
#include "procedure/update.h"

namespace {

// 1 from the flash's start until its worker is done; the one thing the
// worker and the main thread share.
std::atomic<int> g_flashRunning{0};

// How long the flash program may outlast the countdown: 30 minutes.
const int kFlashWaitLimit = 30 * 60;

// 0 once the flash program has ended, -1 when it still runs at the limit.
int WaitForFlashEnd() {
  for (int waited = 0; g_flashRunning.load() != 0; ++waited) {
    if (waited == kFlashWaitLimit) return -1;
    SleepOneSecond();
    ShowCountdownLine(kFlashWaitFormat, waited + 1);
  }
  return 0;
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
  char* command = static_cast<char*>(std::malloc(kFlashCommandSize));
  if (command == nullptr) return;
  if (FormatFlashCommand(command, kFlashCommandSize) == 0) {
    (void)RunChildWithInput(command, "yes.txt");
  }
  std::free(command);
  g_flashRunning.store(0);
}

int FlashFirmware() {
  // The flash program outlives an interrupt of the tool; the operator must
  // hear that it goes on.
  WarnOnInterrupt(kInterruptNotice);
  g_flashRunning.store(1);
  // The tool may still end before the flash program (interrupted, say).
  if (StartDetachedThread(FlashWorker) != 0) g_flashRunning.store(0);
  ShowMessage(kMsgLineFeed);
  RunCountdown(kFlashCountdownFormat, 300);
  int ended = WaitForFlashEnd();
  ShowMessage(kMsgLineFeed);
  return ended;
}
