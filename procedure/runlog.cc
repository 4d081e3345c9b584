// bmcupdate.log: a header line when the file is new, then one tab-separated
// line per run, each written whole in one append.
#include "procedure/runlog.h"

#include <atomic>
#include <cstdio>

#include "platform/clock.h"
#include "platform/files.h"
#include "procedure/update.h"

RunRecord g_runRecord;
const char kRunLogName[] = "bmcupdate.log";
const char kRunLogHeader[] = "started\taddress\tmodel\tbefore\tafter\texit\toutcome\n";

namespace {

// A run leaves one line: its true end's, or an interrupted one's written
// from another thread as the process ends, whichever comes first.
std::atomic<int> g_logged{0};

// Copies `length` bytes into `field`, each byte outside printable ASCII as '?'
// so that no tab or line end can split the record.
void CopyPrintable(const unsigned char* bytes, int length, char* field, int fieldSize) {
  int count = 0;
  for (; count < length && count < fieldSize - 1; ++count) {
    field[count] =
        bytes[count] >= 0x20 && bytes[count] < 0x7F ? static_cast<char>(bytes[count]) : '?';
  }
  field[count] = '\0';
}

}  // namespace

void StartRunRecord() {
  g_runRecord = RunRecord();
  g_logged.store(0);
  LocalTime now;
  ReadLocalTime(&now);
  std::snprintf(g_runRecord.started, sizeof g_runRecord.started, "%04d-%02d-%02d %02d:%02d:%02d",
                now.year, now.month, now.day, now.hour, now.minute, now.second);
}

void NoteModel(const unsigned char* name, int length) {
  CopyPrintable(name, length, g_runRecord.model, sizeof g_runRecord.model);
}

void NoteRevision(const char revision[4]) {
  const unsigned char text[5] = {
      static_cast<unsigned char>(revision[0]), static_cast<unsigned char>(revision[1]), '-',
      static_cast<unsigned char>(revision[2]), static_cast<unsigned char>(revision[3])};
  CopyPrintable(text, 5, g_runRecord.lastRead, sizeof g_runRecord.lastRead);
}

void FormatRunLogLine(Outcome outcome, char* line, int size) {
  const OutcomeFacts& facts = FactsOf(outcome);
  // An interrupted run has no exit code of its own: the field stays empty.
  char exitCode[12] = "";
  if (facts.exitCode >= 0) std::snprintf(exitCode, sizeof exitCode, "%d", facts.exitCode);
  std::snprintf(line, static_cast<size_t>(size), "%s\t%s\t%s\t%s\t%s\t%s\t%s\n",
                g_runRecord.started, g_updateSettings.bmcAddress, g_runRecord.model,
                g_runRecord.before, g_runRecord.after, exitCode, facts.word);
}

void WriteRunLog(Outcome outcome) {
  if (g_logged.exchange(1) != 0) return;
  char line[256];
  FormatRunLogLine(outcome, line, sizeof line);
  (void)AppendTextLine(kRunLogName, kRunLogHeader, line);
}
