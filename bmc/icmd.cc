// icmd.exe command lines and capture files.
#include "bmc/icmd.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "procedure/update.h"

int FormatIcmdCommand(char* buffer, int size, const char* request) {
  int length = std::snprintf(buffer, static_cast<size_t>(size), "icmd.exe -N %s -P \"%s\" %s",
                             g_updateSettings.bmcAddress, g_updateSettings.bmcPassword, request);
  return length >= 0 && length < size ? 0 : -1;
}

int RunIcmd(char* buffer, int size, const char* request, const char* captureName) {
  if (FormatIcmdCommand(buffer, size, request) != 0) return -1;
  if (captureName != nullptr) (void)DeleteNamedFile(captureName);
  RunInterpreter(buffer);
  return 0;
}

int FindResponseLine(const char* captureName, const char* marker, int minColumns, char* line,
                     int size) {
  TextInput input;
  if (OpenTextInput(captureName, &input) != 0) return kCaptureMissing;
  int result = kCaptureNoResponse;
  bool atLineStart = true;
  for (int length = ReadTextLine(&input, line, size); length > 0;
       length = ReadTextLine(&input, line, size)) {
    bool startsLine = atLineStart;
    atLineStart = line[length - 1] == '\n';
    // The columns end at the first NUL or the line feed, whichever comes first.
    int columns = static_cast<int>(std::strcspn(line, "\n"));
    if (startsLine && columns >= minColumns && std::strstr(line, marker) != nullptr) {
      result = kCaptureFound;
      break;
    }
  }
  CloseTextInput(&input);
  return result;
}
