// The update procedure's shared record and the operations it drives. The
// BMC and flash subsystems implement the four operations; each reads
// UpdateSettings, which is complete before the first of them runs.
#ifndef BMCUPDATE_PROCEDURE_UPDATE_H_
#define BMCUPDATE_PROCEDURE_UPDATE_H_

// The texts every external command line needs, NUL-terminated in fixed
// fields. Written only by the dialogue and the read of image.txt.
struct UpdateSettings {
  char bmcAddress[16];
  char imageName[20];
  char bmcPassword[20];
};

// The one record of the process, zero-filled at start.
extern UpdateSettings g_updateSettings;

// What the version query found, from the four revision characters. The
// values are the query's contract, gaps and all: 8 and 10 name no box
// ([008] is the cold reset's) and no exit code.
enum VersionClass {
  kRevision0911 = 0,
  kRevision0912 = 1,
  kRevision0914 = 2,
  kRevisionTarget = 3,  // 09-16
  kRevision0917 = 4,
  kUpdateInProgress = 5,
  kRevisionOther = 6,
  kVersionResponseMissing = 8,  // no response line: no message of its own
  kVersionFileMissing = 10,     // no capture file: the [010] line
};

// What the model check found.
enum ModelCheckResult {
  kTargetModel = 0,
  kNotTargetModel = 1,
  kFruFileMissing = 11,      // the [011] line
  kFruResponseMissing = 12,  // the [012] line
};

// Shows `format` (two %02d, minutes and seconds, ending in "\r") once a
// second for `seconds` down to 1. Writes nothing before or after.
void RunCountdown(const char* format, int seconds);

// Reads FRU bytes 0 to 255 and compares the product name with the target
// models.
ModelCheckResult CheckTargetModel();

// Reads, shows and classifies the BMC's firmware revision.
VersionClass QueryBmcVersion();

// What FlashFirmware found.
enum FlashResult {
  kFlashEnded = 0,         // the flash program ran and has ended
  kFlashStillRunning = 1,  // it still runs 30 minutes after the countdown: [014]
  kFlashNotStarted = 2,    // it could not be started: [015], no countdown
};

// Starts the flash program, with a worker thread that waits for it, shows
// the fixed update countdown, then waits up to 30 minutes more for the
// program to end.
FlashResult FlashFirmware();

// What ResetBmc found: nothing, as the version query that follows tells.
enum ResetResult { kResetDone = 0 };

// Cold-resets the BMC and returns after the fixed restart countdown.
ResetResult ResetBmc();

// Opens the update span, in which the update is finished whatever comes:
// interrupts recorded, the guard raised. Just before the flash starts.
void BeginUpdateSpan();

// Closes it, after the final box and before the pause; nothing where it was
// not opened.
void EndUpdateSpan();

// 1 from BeginUpdateSpan to EndUpdateSpan.
int UpdateSpanOpen();

// Says once, in the update span, that the update cannot be interrupted:
// after each wait of the span, where an interrupt is looked for.
void AcknowledgeInterrupt();

// The whole procedure, from start-up to the result; returns the process exit
// code.
int RunUpdate();

#endif  // BMCUPDATE_PROCEDURE_UPDATE_H_
