// FlashFirmware waits a fixed time, not for the flash program: the version
// query that follows is what tells whether the flash took.
#include "flash/flash.h"

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "procedure/texts.h"
#include "procedure/update.h"

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
}

int FlashFirmware() {
  // The flash program outlives an interrupt of the tool; the operator must
  // hear that it goes on.
  WarnOnInterrupt(kInterruptNotice);
  // Nothing waits for the worker; the tool may end before the flash program.
  (void)StartDetachedThread(FlashWorker);
  ShowMessage(kMsgLineFeed);
  RunCountdown(kFlashCountdownFormat, 300);
  ShowMessage(kMsgLineFeed);
  return 0;
}
