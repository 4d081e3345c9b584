// QueryBmcVersion: Get Device ID through icmd.exe into Version.txt. The
// marker holds the device ID (20h) and device revision (10h) of the target
// BMC, so another BMC's answer is no answer.
#include "bmc/version.h"

#include <cstdlib>
#include <cstring>

#include "bmc/icmd_call.h"
#include "platform/files.h"
#include "procedure/runlog.h"
#include "procedure/texts.h"
#include "procedure/update.h"

namespace {

// Two spellings of one file, as Windows' names ignore case: the command line
// keeps the one icmd.exe users know, the reads keep theirs. Where names keep
// their case, the interpreter writes the lower-case one (process-posix.cc).
const char kVersionRequest[] = "00 20 18 01 > Version.txt";
const char kVersionCapture[] = "version.txt";
const char kVersionMarker[] = "respData[len=15]: 20 10 ";
// Firmware revision 1 stands at columns 24 and 25, revision 2 at 27 and 28.
const int kRevisionColumns = 29;

}  // namespace

VersionClass ClassifyRevision(const char revision[4]) {
  if (revision[0] == '0' && revision[1] == '9' && revision[2] == '1') {
    switch (revision[3]) {
      case '1': return kRevision0911;
      case '2': return kRevision0912;
      case '4': return kRevision0914;
      case '6': return kRevisionTarget;
      case '7': return kRevision0917;
      default: break;
    }
  }
  // The top bit of the major revision: an update or initialisation in progress.
  if (revision[0] == '8') return kUpdateInProgress;
  return kRevisionOther;
}

int ExtractRevision(const char* line, char revision[4]) {
  if (static_cast<int>(std::strcspn(line, "\n")) < kRevisionColumns) return -1;
  revision[0] = line[24];
  revision[1] = line[25];
  revision[2] = line[27];
  revision[3] = line[28];
  return 0;
}

VersionClass QueryBmcVersion() {
  char* line = static_cast<char*>(std::malloc(kIcmdBufferSize));
  // Without a buffer there is no reading, and no reading is never success.
  if (line == nullptr) return kVersionResponseMissing;
  // A command that was not run has no response.
  CaptureResult found = RunIcmd(line, kIcmdBufferSize, kVersionRequest, kVersionCapture) == 0
                            ? FindResponseLine(kVersionCapture, kVersionMarker, kRevisionColumns,
                                               line, kIcmdBufferSize)
                            : kCaptureNoResponse;
  char revision[4];
  if (found == kCaptureMissing) ShowMessage(kMsgVersionFileMissing);
  if (found != kCaptureFound || ExtractRevision(line, revision) != 0) {
    std::free(line);
    return found == kCaptureMissing ? kVersionFileMissing : kVersionResponseMissing;
  }
  (void)DeleteNamedFile(kVersionCapture);
  NoteRevision(revision);
  ShowRevision(revision[0], revision[1], revision[2], revision[3]);
  std::free(line);
  return ClassifyRevision(revision);
}
