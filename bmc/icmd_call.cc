// icmd.exe command lines and capture files.
#include "bmc/icmd_call.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "platform/process.h"
#include "procedure/update.h"

namespace {

// How often one request is made at most.
const int kIcmdAttempts = 3;

// Formats the command for `request` from UpdateSettings. 0, or -1 when it does
// not fit in `size` bytes.
int FormatIcmdCommand(char* buffer, int size, const char* request) {
  int length = std::snprintf(buffer, static_cast<size_t>(size), "icmd.exe -N %s -P \"%s\" %s",
                             g_updateSettings.bmcAddress, g_updateSettings.bmcPassword, request);
  return length >= 0 && length < size ? 0 : -1;
}

}  // namespace

int RunIcmd(char* buffer, int size, const char* request, const char* captureName) {
  if (FormatIcmdCommand(buffer, size, request) != 0) return -1;
  // A request that an interrupt cut short in the update span is made again:
  // its answer decides the update's result. Before the span the interrupt
  // ends the tool, and nothing more may reach the BMC.
  for (int attempt = 1;; ++attempt) {
    if (captureName != nullptr) (void)DeleteNamedFile(captureName);
    int run = RunInterpreter(buffer);
    AcknowledgeInterrupt();
    if (run != kRunInterrupted || UpdateSpanOpen() == 0 || attempt == kIcmdAttempts) return 0;
  }
}

CaptureResult FindResponseLine(const char* captureName, const char* marker, int minColumns,
                               char* line, int size) {
  TextInput input;
  if (OpenTextInput(captureName, &input) != 0) return kCaptureMissing;
  CaptureResult result = SearchResponseLine(&input, marker, minColumns, line, size);
  CloseTextInput(&input);
  return result;
}

CaptureResult SearchResponseLine(TextInput* input, const char* marker, int minColumns, char* line,
                                 int size) {
  bool atLineStart = true;
  for (int length = ReadTextLine(input, line, size); length > 0;
       length = ReadTextLine(input, line, size)) {
    bool startsLine = atLineStart;
    atLineStart = line[length - 1] == '\n';
    // The columns end at the first NUL or the line feed, whichever comes first.
    int columns = static_cast<int>(std::strcspn(line, "\n"));
    if (startsLine && columns >= minColumns && std::strstr(line, marker) != nullptr) {
      return kCaptureFound;
    }
  }
  return kCaptureNoResponse;
}
