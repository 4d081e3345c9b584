// bmcupdate.log: a header line when the file is new, then one tab-separated
// line per run, each written whole in one append.
#include "procedure/runlog.h"

#include <cstdio>

#include "platform/platform.h"
#include "procedure/update.h"

RunRecord g_runRecord;

namespace {

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

const char* Outcome(int exitCode) {
  switch (exitCode) {
    case 0: return "updated";
    case 4: return "not-target";
    case 5: return "already-current";
    case 6: return "version-unknown";
    case 7: return "not-updated";
    default: return "still-busy";
  }
}

}  // namespace

void NoteStartTime() {
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

void WriteRunLog(const char* before, const char* after, int exitCode) {
  char line[256];
  std::snprintf(line, sizeof line, "%s\t%s\t%s\t%s\t%s\t%d\t%s\n", g_runRecord.started,
                g_updateSettings.bmcAddress, g_runRecord.model, before, after, exitCode,
                Outcome(exitCode));
  (void)AppendTextLine("bmcupdate.log", "started\taddress\tmodel\tbefore\tafter\texit\toutcome\n",
                       line);
}
