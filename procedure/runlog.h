// The record of each run that reached the BMC, one line appended to
// bmcupdate.log in the tool's folder, so the service desk can tell later
// what was done to which BMC. Never the password.
#ifndef BMCUPDATE_PROCEDURE_RUNLOG_H_
#define BMCUPDATE_PROCEDURE_RUNLOG_H_

// What the run learnt, each field NUL-terminated printable ASCII.
struct RunRecord {
  char started[40];  // local start time, YYYY-MM-DD HH:MM:SS
  char model[64];    // the FRU product name as read; "" when unread
  char lastRead[6];  // the revision of the latest query; "" when none was read
};

// The one record of the process, zero-filled at start.
extern RunRecord g_runRecord;

// Notes the local time as the run's start.
void NoteStartTime();

// Notes the product name's `length` bytes, others than printable ASCII as '?'.
void NoteModel(const unsigned char* name, int length);

// Notes the four revision characters of a query as "MM-mm".
void NoteRevision(const char revision[4]);

// Appends the run's line with the revisions before and after the flash
// (either may be "") and its exit code; a log that cannot be written is let be.
void WriteRunLog(const char* before, const char* after, int exitCode);

#endif  // BMCUPDATE_PROCEDURE_RUNLOG_H_
