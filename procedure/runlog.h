// The record of each run that reached the BMC, one line appended to
// bmcupdate.log in the tool's folder, so the service desk can tell later
// what was done to which BMC. Never the password.
#ifndef BMCUPDATE_PROCEDURE_RUNLOG_H_
#define BMCUPDATE_PROCEDURE_RUNLOG_H_

#include "procedure/outcome.h"

// The size of a revision field, "MM-mm" and its NUL.
const int kRevisionFieldSize = 6;

// What the run learnt, each field NUL-terminated printable ASCII.
struct RunRecord {
  char started[40];                   // local start time, YYYY-MM-DD HH:MM:SS
  char model[64];                     // the FRU product name as read; "" when unread
  char lastRead[kRevisionFieldSize];  // the revision of the latest query; "" when none was read
  char before[kRevisionFieldSize];    // the revision read before the flash; "" when none
  char after[kRevisionFieldSize];     // the last revision read after it; "" when none
};

// The one record of the process, zero-filled at start.
extern RunRecord g_runRecord;

// The run log's file name, and the header line that starts a new one.
extern const char kRunLogName[];
extern const char kRunLogHeader[];

// Starts the run's record afresh, with the local time as the run's start.
void StartRunRecord();

// Notes the product name's `length` bytes, others than printable ASCII as '?'.
void NoteModel(const unsigned char* name, int length);

// Notes the four revision characters of a query as "MM-mm".
void NoteRevision(const char revision[4]);

// Formats the run's line for `outcome` from the record as it stands now,
// LF-ended, into `line` (`size` bytes, 256 hold any).
void FormatRunLogLine(Outcome outcome, char* line, int size);

// Appends the run's line for `outcome`, unless the run has one already; a log
// that cannot be written is let be. Any thread.
void WriteRunLog(Outcome outcome);

#endif  // BMCUPDATE_PROCEDURE_RUNLOG_H_
