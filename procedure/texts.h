// Every text the operator sees. Nothing else in the tool writes to the
// console; callers name a text and this module writes it.
#ifndef BMCUPDATE_PROCEDURE_TEXTS_H_
#define BMCUPDATE_PROCEDURE_TEXTS_H_

// The fixed lines and prompts; each is written as it stands.
enum Message {
  kMsgConfirmPrompt,
  kMsgAddressRequest,
  kMsgAddressPrompt,
  kMsgPasswordStatePrompt,
  kMsgPasswordRequest,
  kMsgPasswordPrompt,
  kMsgImageMissing,        // [009]
  kMsgImageNameTooLong,    // [009]
  kMsgImageNameInvalid,    // [009]
  kMsgImageFileMissing,    // [009]
  kMsgVersionFileMissing,  // [010]
  kMsgFruFileMissing,      // [011]
  kMsgFruDataMissing,      // [012]
  kMsgFolderBusy,          // [013]
  kMsgFlashStillRunning,   // [014]
  kMsgFlashNotStarted,     // [015]
  kMsgIcmdMissing,         // [016]
  kMsgFlashMissing,        // [016]
  kMsgFolderNotWritable,   // [016]
  kMsgBmcBusy,             // [017]
  kMsgCannotInterrupt,     // an interrupt in the update span
  kMsgUpdateGoesOn,        // the console window closed in the update span
  kMsgLineFeed,
  kMessageCount,
};

// The framed results; each names the exit code that goes with it.
enum ResultBox {
  kBoxSuccess,
  kBoxAddressError,       // [001]
  kBoxPasswordError,      // [003]
  kBoxNotTargetModel,     // [004]
  kBoxAlreadyCurrent,     // [005]
  kBoxVersionBefore,      // [006]
  kBoxVersionAfterFlash,  // [007]
  kBoxVersionAfterReset,  // [008]
  kBoxCount,
};

// The countdown formats for RunCountdown.
extern const char kFlashCountdownFormat[];
extern const char kResetCountdownFormat[];
// The line of the wait for a flash that outlasts its countdown: minutes and
// seconds waited so far.
extern const char kFlashWaitFormat[];

// What a shutdown screen shows of the tool during the update: the name of
// its window, and why it holds the shutdown off.
extern const char kGuardTitle[];
extern const char kGuardReason[];

// Writes the start-up banner.
void ShowBanner();

// Writes one of the fixed lines or prompts.
void ShowMessage(Message message);

// Writes the revision line with the four revision characters.
void ShowRevision(char major1, char major2, char minor1, char minor2);

// Writes one countdown line for `seconds` remaining.
void ShowCountdownLine(const char* format, int seconds);

// Writes a box with the two text lines and the contact line (may be null),
// and the closing line.
void PrintResultBox(const char* firstLine, const char* secondLine, const char* contactLine);

// Prints one of the result boxes through PrintResultBox.
void ShowResultBox(ResultBox box);

// Waits for the operator's key, with the pause's prompt.
void WaitForKey();

#endif  // BMCUPDATE_PROCEDURE_TEXTS_H_
