// The update flow: dialogue, image name, model check, version queries,
// flash and cold reset, each outcome turned into one result and exit code.
#include "procedure/update.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/console.h"
#include "platform/files.h"
#include "platform/interrupt.h"
#include "platform/process.h"
#include "procedure/dialogue.h"
#include "procedure/folder_check.h"
#include "procedure/outcome.h"
#include "procedure/runlog.h"
#include "procedure/texts.h"

UpdateSettings g_updateSettings;

namespace {

const char kFactoryPassword[] = "TOLVE qs Family";
const int kLineSize = 260;
const int kAttempts = 100;

// The answer buffer, taken once and never released: held here it stays
// reachable to the end of the process instead of being lost on return.
char* g_answer = nullptr;

// Asks a yes/no question until a reply begins with y or n, at most 100
// times; kAnswerOther when none did.
Answer AskYesNo(Message prompt, char* answer) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    ShowMessage(prompt);
    int length = ReadReply(answer, kLineSize);
    if (length < 0) return kAnswerEnd;
    Answer reply = ClassifyReply(answer, length);
    if (reply != kAnswerOther) return reply;
  }
  return kAnswerOther;
}

Outcome AskAddress(char* line) {
  ShowMessage(kMsgAddressRequest);
  ShowMessage(kMsgAddressPrompt);
  int length = ReadReply(line, kLineSize);
  UpdateSettings& settings = g_updateSettings;
  if (length < 0 ||
      AcceptAddress(line, length, settings.bmcAddress, sizeof settings.bmcAddress) != 0) {
    return kOutcomeAddressRefused;
  }
  return kGoOn;
}

// Reads the password with its echo off where it is typed at a console: off
// before the prompt shows, so that nothing typed at once is shown. The line
// end that its echo would have written still is.
int ReadHiddenPassword(char* line) {
  ShowMessage(kMsgPasswordRequest);
  int hidden = HideTypedInput();
  ShowMessage(kMsgPasswordPrompt);
  int length = ReadReply(line, kLineSize);
  if (hidden != 0) {
    ShowTypedInput();
    ShowMessage(kMsgLineFeed);
  }
  return length;
}

Outcome AskPassword(char* answer, char* line) {
  UpdateSettings& settings = g_updateSettings;
  Answer reply = AskYesNo(kMsgPasswordStatePrompt, answer);
  if (reply == kAnswerEnd) return kOutcomePasswordRefused;
  if (reply == kAnswerYes) {
    std::snprintf(settings.bmcPassword, sizeof settings.bmcPassword, "%s", kFactoryPassword);
  }
  // After 100 unrecognised replies the password stays empty.
  if (reply != kAnswerNo) return kGoOn;
  int length = ReadHiddenPassword(line);
  if (length < 0 ||
      AcceptPassword(line, length, settings.bmcPassword, sizeof settings.bmcPassword) != 0) {
    return kOutcomePasswordRefused;
  }
  return kGoOn;
}

// Confirmation, address and password.
Outcome HoldDialogue(char* answer, char* line) {
  Answer reply = AskYesNo(kMsgConfirmPrompt, answer);
  // The end of input declines, as "n" does: no box, no pause.
  if (reply == kAnswerNo || reply == kAnswerEnd) return kOutcomeDeclined;
  Outcome outcome = AskAddress(line);
  if (outcome != kGoOn) return outcome;
  return AskPassword(answer, line);
}

Outcome ReadImageName() {
  TextInput input;
  if (OpenTextInput("image.txt", &input) != 0) {
    ShowMessage(kMsgImageMissing);
    return kOutcomeNoImage;
  }
  char* line = static_cast<char*>(std::malloc(kLineSize));
  int length = line != nullptr ? ReadTextLine(&input, line, kLineSize) : -1;
  CloseTextInput(&input);
  UpdateSettings& settings = g_updateSettings;
  int accepted = AcceptImageName(line, length, settings.imageName, sizeof settings.imageName);
  std::free(line);
  if (accepted != 0) {
    ShowMessage(accepted == -1 ? kMsgImageNameTooLong : kMsgImageNameInvalid);
    return kOutcomeNoImage;
  }
  return kGoOn;
}

// Queries the revision; one that was read is kept in `revision`.
VersionClass QueryVersionInto(char (&revision)[kRevisionFieldSize]) {
  g_runRecord.lastRead[0] = '\0';
  VersionClass result = QueryBmcVersion();
  if (g_runRecord.lastRead[0] != '\0') std::memcpy(revision, g_runRecord.lastRead, sizeof revision);
  return result;
}

// After the flash only 09-16 is success; a BMC still busy gets one cold
// reset and one more reading.
Outcome UpdateAndVerify() {
  BeginUpdateSpan();
  FlashResult flashed = FlashFirmware();
  // A flash still running after the wait is left alone: any request now
  // could judge or reset a BMC in the middle of being written.
  if (flashed == kFlashStillRunning) return kOutcomeFlashRunning;
  if (flashed == kFlashNotStarted) return kOutcomeFlashNotStarted;
  VersionClass version = QueryVersionInto(g_runRecord.after);
  if (version == kUpdateInProgress) {
    ResetBmc();
    version = QueryVersionInto(g_runRecord.after);
    return version == kRevisionTarget ? kOutcomeUpdated : kOutcomeStillBusy;
  }
  return version == kRevisionTarget ? kOutcomeUpdated : kOutcomeNotUpdated;
}

Outcome UpdateBmc() {
  ModelCheckResult model = CheckTargetModel();
  // A model that was read and is no target differs from FRU data that could
  // not be read at all (a wrong password, no BMC at the address).
  if (model == kNotTargetModel) return kOutcomeNotTarget;
  if (model != kTargetModel) return kOutcomeNoAnswer;
  switch (QueryVersionInto(g_runRecord.before)) {
    case kRevision0911:
    case kRevision0912:
    case kRevision0914: return UpdateAndVerify();
    case kRevisionTarget:
    case kRevision0917: return kOutcomeAlreadyCurrent;
    default: return kOutcomeVersionUnknown;
  }
}

// Everything from the lock to the update's end.
Outcome Update() {
  // Two runs from one folder would read each other's answer files. A lock
  // file that cannot be made at all (a read-only folder) is let be.
  if (LockFolder("bmcupdate.lck") == kLockHeldElsewhere) {
    ShowMessage(kMsgFolderBusy);
    return kOutcomeFolderBusy;
  }
  // The answer buffer lives until the process ends; the line buffer only
  // through the dialogue.
  if (g_answer == nullptr) g_answer = static_cast<char*>(std::malloc(kLineSize));
  char* line = static_cast<char*>(std::malloc(kLineSize));
  // Without its buffers the tool cannot ask; it stops as if declined.
  Outcome outcome =
      g_answer != nullptr && line != nullptr ? HoldDialogue(g_answer, line) : kOutcomeDeclined;
  std::free(line);
  if (outcome != kGoOn) return outcome;
  outcome = ReadImageName();
  if (outcome == kGoOn) outcome = CheckFolder();
  if (outcome != kGoOn) return outcome;
  return UpdateBmc();
}

// The run's end: its log line first where it reached the BMC (so that the
// line is there even when the window is closed at the pause), its box, the
// end of the update span, and the wait for a key where the ending has one.
// The exit code.
int Conclude(Outcome outcome) {
  const OutcomeFacts& facts = FactsOf(outcome);
  AcknowledgeInterrupt();
  if (facts.logged) WriteRunLog(outcome);
  if (facts.box != kNoBox) ShowResultBox(static_cast<ResultBox>(facts.box));
  EndUpdateSpan();
  if (facts.wait == kWaitForKey || (facts.wait == kWaitWhenOwnConsole && ConsoleIsOwn() != 0)) {
    WaitForKey();
  }
  return facts.exitCode;
}

// What the process does when the console window closes, or the session
// ends, in the update span: its run's line, and for a window the notice.
void OnEnding(EndingEvent event) {
  WriteRunLog(kOutcomeInterrupted);
  if (event == kEndingWindowClosed) ShowMessage(kMsgUpdateGoesOn);
}

}  // namespace

int RunUpdate() {
  g_updateSettings = UpdateSettings();
  StartRunRecord();
  InstallInterruptHandlers(OnEnding);
  // Where the folder cannot be entered, the working directory stays.
  (void)EnterProgramFolder();
  ShowBanner();
  return Conclude(Update());
}
