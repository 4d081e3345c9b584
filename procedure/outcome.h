// How a run can end, and what each ending means for the operator, the
// process's exit code and the run log. The flow names an outcome; this table
// is the one place that turns it into an exit code, a box and a word.
#ifndef BMCUPDATE_PROCEDURE_OUTCOME_H_
#define BMCUPDATE_PROCEDURE_OUTCOME_H_

#include "procedure/texts.h"

// Every way a run ends.
enum Outcome {
  kOutcomeUpdated,
  kOutcomeAddressRefused,
  kOutcomePasswordRefused,
  kOutcomeNotTarget,  // a model name was read, and it is no target
  kOutcomeNoAnswer,   // the FRU data could not be read at all
  kOutcomeAlreadyCurrent,
  kOutcomeVersionUnknown,
  kOutcomeNotUpdated,
  kOutcomeFlashRunning,     // still running when the wait for it ended
  kOutcomeFlashNotStarted,  // the flash program could not be started
  kOutcomeStillBusy,
  kOutcomeNoImage,
  kOutcomeFolderBusy,
  kOutcomeKitIncomplete,  // icmd.exe or Yafuflash.exe missing, or the folder cannot be written
  kOutcomeBmcBusyHere,    // another update of the same BMC runs on this PC
  kOutcomeDeclined,
  kOutcomeInterrupted,  // the window closed, or the session ended, in the update span
  kOutcomeCount,
};

// Not an ending: the run goes on.
const Outcome kGoOn = kOutcomeCount;

// Whether an ending waits for the operator's key before the tool exits.
enum KeyWait {
  kNoWait,
  kWaitForKey,          // after every box
  kWaitWhenOwnConsole,  // a one-line ending, where the console closes with the tool
};

// What one outcome means.
struct OutcomeFacts {
  int exitCode;      // the process's exit code; -1 where a signal or event ends it
  int box;           // the ResultBox shown, or kNoBox
  const char* word;  // its name in the run log and the fleet's summary
  int logged;        // 1 when the run reached the BMC and leaves a run-log line
  KeyWait wait;      // what the tool does before it exits
};

// No result box: the run ends after a one-line message, or silently.
const int kNoBox = -1;

// The facts of `outcome`.
const OutcomeFacts& FactsOf(Outcome outcome);

#endif  // BMCUPDATE_PROCEDURE_OUTCOME_H_
