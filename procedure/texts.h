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
  kMsgVersionFileMissing,  // [010]
  kMsgFruFileMissing,      // [011]
  kMsgFruDataMissing,      // [012]
  kMsgFolderBusy,          // [013]
  kMsgFlashStillRunning,   // [014]
  kMsgFlashNotStarted,     // [015]
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

// What an interrupt writes while the flash program runs.
extern const char kInterruptNotice[];

// Writes the start-up banner.
void ShowBanner();

// Writes one of the fixed lines or prompts.
void ShowMessage(Message message);

// Writes the revision line with the four revision characters.
void ShowRevision(char major1, char major2, char minor1, char minor2);

// Writes one countdown line for `seconds` remaining.
void ShowCountdownLine(const char* format, int seconds);

// Writes a box with the two text lines and the contact line (may be null),
// the closing line, then waits for the operator's key.
void PrintResultBox(const char* firstLine, const char* secondLine, const char* contactLine);

// Prints one of the result boxes through PrintResultBox.
void ShowResultBox(ResultBox box);

#endif  // BMCUPDATE_PROCEDURE_TEXTS_H_
