// FlashFirmware gives the flash program the fixed countdown and then waits
// for it to end: the BMC reports "busy" exactly while it is written, and a
// revision read or a cold reset then would judge or break a flash in progress.
#include "flash/flash.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/interrupt.h"
#include "platform/process.h"
#include "procedure/runlog.h"
#include "procedure/texts.h"
#include "procedure/update.h"

namespace {

// 1 while the flash program the tool started runs: the wait for its end and
// the interrupt notice both go by it.
std::atomic<int> g_flashRunning{0};

// How the start went, as the worker reports it to the main thread.
enum StartReport { kStartPending, kStarted, kStartFailed };
std::atomic<int> g_flashStart{kStartPending};

// How long the flash program may outlast the countdown: 30 minutes.
const int kFlashWaitLimit = 30 * 60;

// What an interrupt says while the flash runs: the notice, and the run's
// line, written beforehand because a signal handler cannot format it.
char g_interruptedLine[256];
InterruptNotice g_notice = {kInterruptNotice, kRunLogName, kRunLogHeader, g_interruptedLine};
// Once the run writes its own line, the notice alone.
const InterruptNotice kNoticeOnly = {kInterruptNotice, nullptr, nullptr, nullptr};

// Starts the worker and waits until it knows whether the flash program runs,
// holding interrupts back meanwhile so that one tells the truth about it.
bool StartWorker() {
  g_flashStart.store(kStartPending);
  HoldInterrupts();
  if (StartDetachedThread(FlashWorker) != 0) g_flashStart.store(kStartFailed);
  while (g_flashStart.load() == kStartPending) SleepBriefly();
  ReleaseInterrupts();
  return g_flashStart.load() == kStarted;
}

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
  bool started = command != nullptr && FormatFlashCommand(command, kFlashCommandSize) == 0 &&
                 StartChild(command, "yes.txt") == 0;
  // Running before the report: the main thread reads them in that order.
  if (started) g_flashRunning.store(1);
  g_flashStart.store(started ? kStarted : kStartFailed);
  if (started) WaitForChild();
  std::free(command);
  g_flashRunning.store(0);
}

int FlashFirmware() {
  FormatRunLogLine(kOutcomeInterrupted, g_interruptedLine, sizeof g_interruptedLine);
  InstallInterruptNotice(&g_notice, &g_flashRunning);
  if (!StartWorker()) {
    RemoveInterruptNotice();
    ShowMessage(kMsgFlashNotStarted);
    return kFlashNotStarted;
  }
  ShowMessage(kMsgLineFeed);
  RunCountdown(kFlashCountdownFormat, 300);
  int ended = WaitForFlashEnd();
  ShowMessage(kMsgLineFeed);
  if (ended == 0) {
    RemoveInterruptNotice();
    return kFlashEnded;
  }
  // The update goes on past the tool: an interrupt still says so, and the
  // run's own line (flash-running) follows now.
  InstallInterruptNotice(&kNoticeOnly, &g_flashRunning);
  ShowMessage(kMsgFlashStillRunning);
  return kFlashStillRunning;
}
