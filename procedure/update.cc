// The update flow: dialogue, image name, model check, version queries,
// flash and cold reset, each outcome turned into one result and exit code.
#include "procedure/update.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/console.h"
#include "platform/files.h"
#include "platform/process.h"
#include "procedure/dialogue.h"
#include "procedure/outcome.h"
#include "procedure/runlog.h"
#include "procedure/texts.h"

UpdateSettings g_updateSettings;

namespace {

const char kFactoryPassword[] = "TOLVE qs Family";
const int kLineSize = 260;
const int kAttempts = 100;
const int kGoOn = -1;  // no exit code yet

// The answer buffer, taken once and never released: held here it stays
// reachable to the end of the process instead of being lost on return.
char* g_answer = nullptr;

// Ends the run: its log line first where it reached the BMC (so that the
// line is there even when the window is closed at the pause), then its box.
// The exit code.
int End(Outcome outcome) {
  const OutcomeFacts& facts = FactsOf(outcome);
  if (facts.logged) WriteRunLog(outcome);
  if (facts.box != kNoBox) ShowResultBox(static_cast<ResultBox>(facts.box));
  return facts.exitCode;
}

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

int AskAddress(char* line) {
  ShowMessage(kMsgAddressRequest);
  ShowMessage(kMsgAddressPrompt);
  int length = ReadReply(line, kLineSize);
  UpdateSettings& settings = g_updateSettings;
  if (length < 0 ||
      AcceptAddress(line, length, settings.bmcAddress, sizeof settings.bmcAddress) != 0) {
    return End(kOutcomeAddressRefused);
  }
  return kGoOn;
}

int AskPassword(char* answer, char* line) {
  UpdateSettings& settings = g_updateSettings;
  Answer reply = AskYesNo(kMsgPasswordStatePrompt, answer);
  if (reply == kAnswerEnd) return End(kOutcomePasswordRefused);
  if (reply == kAnswerYes) {
    std::snprintf(settings.bmcPassword, sizeof settings.bmcPassword, "%s", kFactoryPassword);
  }
  // After 100 unrecognised replies the password stays empty.
  if (reply != kAnswerNo) return kGoOn;
  ShowMessage(kMsgPasswordRequest);
  ShowMessage(kMsgPasswordPrompt);
  // Typed at a console the password is not shown; the line end that its
  // echo would have written still is.
  int hidden = HideTypedInput();
  int length = ReadReply(line, kLineSize);
  if (hidden != 0) {
    ShowTypedInput();
    ShowMessage(kMsgLineFeed);
  }
  if (length < 0 ||
      AcceptPassword(line, length, settings.bmcPassword, sizeof settings.bmcPassword) != 0) {
    return End(kOutcomePasswordRefused);
  }
  return kGoOn;
}

// Confirmation, address and password.
int HoldDialogue(char* answer, char* line) {
  Answer reply = AskYesNo(kMsgConfirmPrompt, answer);
  // The end of input declines, as "n" does: no box, no pause.
  if (reply == kAnswerNo || reply == kAnswerEnd) return End(kOutcomeDeclined);
  int code = AskAddress(line);
  if (code != kGoOn) return code;
  return AskPassword(answer, line);
}

int ReadImageName() {
  TextInput input;
  if (OpenTextInput("image.txt", &input) != 0) {
    ShowMessage(kMsgImageMissing);
    return End(kOutcomeNoImage);
  }
  char* line = static_cast<char*>(std::malloc(kLineSize));
  int length = line != nullptr ? ReadTextLine(&input, line, kLineSize) : -1;
  CloseTextInput(&input);
  UpdateSettings& settings = g_updateSettings;
  int accepted = AcceptImageName(line, length, settings.imageName, sizeof settings.imageName);
  std::free(line);
  if (accepted != 0) {
    ShowMessage(accepted == -1 ? kMsgImageNameTooLong : kMsgImageNameInvalid);
    return End(kOutcomeNoImage);
  }
  return kGoOn;
}

// Queries the revision; one that was read is kept in `revision`.
int QueryVersionInto(char (&revision)[kRevisionFieldSize]) {
  g_runRecord.lastRead[0] = '\0';
  int result = QueryBmcVersion();
  if (g_runRecord.lastRead[0] != '\0') std::memcpy(revision, g_runRecord.lastRead, sizeof revision);
  return result;
}

// After the flash only 09-16 is success; a BMC still busy gets one cold
// reset and one more reading.
int UpdateAndVerify() {
  int flashed = FlashFirmware();
  // A flash still running after the wait is left alone: any request now
  // could judge or reset a BMC in the middle of being written.
  if (flashed == kFlashStillRunning) return End(kOutcomeFlashRunning);
  if (flashed == kFlashNotStarted) return End(kOutcomeFlashNotStarted);
  int version = QueryVersionInto(g_runRecord.after);
  if (version == kUpdateInProgress) {
    ResetBmc();
    version = QueryVersionInto(g_runRecord.after);
    return End(version == kRevisionTarget ? kOutcomeUpdated : kOutcomeStillBusy);
  }
  return End(version == kRevisionTarget ? kOutcomeUpdated : kOutcomeNotUpdated);
}

int UpdateBmc() {
  int model = CheckTargetModel();
  // A model that was read and is no target differs from FRU data that could
  // not be read at all (a wrong password, no BMC at the address).
  if (model == kNotTargetModel) return End(kOutcomeNotTarget);
  if (model != kTargetModel) return End(kOutcomeNoAnswer);
  switch (QueryVersionInto(g_runRecord.before)) {
    case kRevision0911:
    case kRevision0912:
    case kRevision0914: return UpdateAndVerify();
    case kRevisionTarget:
    case kRevision0917: return End(kOutcomeAlreadyCurrent);
    default: return End(kOutcomeVersionUnknown);
  }
}

}  // namespace

int RunUpdate() {
  NoteStartTime();
  // Where the folder cannot be entered, the working directory stays.
  (void)EnterProgramFolder();
  ShowBanner();
  // Two runs from one folder would read each other's answer files. A lock
  // file that cannot be made at all (a read-only folder) is let be.
  if (LockFolder("bmcupdate.lck") == 1) {
    ShowMessage(kMsgFolderBusy);
    return End(kOutcomeFolderBusy);
  }
  // The answer buffer lives until the process ends; the line buffer only
  // through the dialogue.
  if (g_answer == nullptr) g_answer = static_cast<char*>(std::malloc(kLineSize));
  char* answer = g_answer;
  char* line = static_cast<char*>(std::malloc(kLineSize));
  // Without its buffers the tool cannot ask; it stops as if declined.
  int code =
      answer != nullptr && line != nullptr ? HoldDialogue(answer, line) : End(kOutcomeDeclined);
  std::free(line);
  if (code != kGoOn) return code;
  code = ReadImageName();
  if (code != kGoOn) return code;
  return UpdateBmc();
}
