// The update flow: dialogue, image name, model check, version queries,
// flash and cold reset, each outcome turned into one result and exit code.
#include "procedure/update.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "procedure/dialogue.h"
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

int EndWithBox(ResultBox box, int exitCode) {
  ShowResultBox(box);
  return exitCode;
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
    return EndWithBox(kBoxAddressError, 1);
  }
  return kGoOn;
}

int AskPassword(char* answer, char* line) {
  UpdateSettings& settings = g_updateSettings;
  Answer reply = AskYesNo(kMsgPasswordStatePrompt, answer);
  if (reply == kAnswerEnd) return EndWithBox(kBoxPasswordError, 3);
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
    return EndWithBox(kBoxPasswordError, 3);
  }
  return kGoOn;
}

// Confirmation, address and password.
int HoldDialogue(char* answer, char* line) {
  Answer reply = AskYesNo(kMsgConfirmPrompt, answer);
  // The end of input declines, as "n" does: no box, no pause.
  if (reply == kAnswerNo || reply == kAnswerEnd) return 255;
  int code = AskAddress(line);
  if (code != kGoOn) return code;
  return AskPassword(answer, line);
}

int ReadImageName() {
  TextInput input;
  if (OpenTextInput("image.txt", &input) != 0) {
    ShowMessage(kMsgImageMissing);
    return 9;
  }
  char* line = static_cast<char*>(std::malloc(kLineSize));
  int length = line != nullptr ? ReadTextLine(&input, line, kLineSize) : -1;
  CloseTextInput(&input);
  UpdateSettings& settings = g_updateSettings;
  int accepted = AcceptImageName(line, length, settings.imageName, sizeof settings.imageName);
  std::free(line);
  if (accepted != 0) {
    ShowMessage(accepted == -1 ? kMsgImageNameTooLong : kMsgImageNameInvalid);
    return 9;
  }
  return kGoOn;
}

// Ends a run that reached the BMC: its log line first, so that it is there
// even when the window is closed at the pause.
int EndRun(ResultBox box, int exitCode, const char* before, const char* after) {
  WriteRunLog(before, after, exitCode);
  return EndWithBox(box, exitCode);
}

// Queries the revision; one that was read is kept in `revision`.
int QueryVersionInto(char (&revision)[sizeof g_runRecord.lastRead]) {
  g_runRecord.lastRead[0] = '\0';
  int result = QueryBmcVersion();
  if (g_runRecord.lastRead[0] != '\0') std::memcpy(revision, g_runRecord.lastRead, sizeof revision);
  return result;
}

// After the flash only 09-16 is success; a BMC still busy gets one cold
// reset and one more reading.
int UpdateAndVerify(const char* before) {
  char after[sizeof g_runRecord.lastRead] = "";
  // A flash still running after the wait is left alone: any request now
  // could judge or reset a BMC in the middle of being written.
  if (FlashFirmware() != 0) return EndRun(kBoxVersionAfterFlash, 7, before, "");
  int version = QueryVersionInto(after);
  if (version == kUpdateInProgress) {
    ResetBmc();
    version = QueryVersionInto(after);
    return version == kRevisionTarget ? EndRun(kBoxSuccess, 0, before, after)
                                      : EndRun(kBoxVersionAfterReset, 8, before, after);
  }
  return version == kRevisionTarget ? EndRun(kBoxSuccess, 0, before, after)
                                    : EndRun(kBoxVersionAfterFlash, 7, before, after);
}

int UpdateBmc() {
  if (CheckTargetModel() != kTargetModel) return EndRun(kBoxNotTargetModel, 4, "", "");
  char before[sizeof g_runRecord.lastRead] = "";
  switch (QueryVersionInto(before)) {
    case kRevision0911:
    case kRevision0912:
    case kRevision0914: return UpdateAndVerify(before);
    case kRevisionTarget:
    case kRevision0917: return EndRun(kBoxAlreadyCurrent, 5, before, "");
    default: return EndRun(kBoxVersionBefore, 6, before, "");
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
    return 13;
  }
  // The answer buffer lives until the process ends; the line buffer only
  // through the dialogue.
  if (g_answer == nullptr) g_answer = static_cast<char*>(std::malloc(kLineSize));
  char* answer = g_answer;
  char* line = static_cast<char*>(std::malloc(kLineSize));
  // Without its buffers the tool cannot ask; it stops as if declined.
  int code = answer != nullptr && line != nullptr ? HoldDialogue(answer, line) : 255;
  std::free(line);
  if (code != kGoOn) return code;
  code = ReadImageName();
  if (code != kGoOn) return code;
  return UpdateBmc();
}
