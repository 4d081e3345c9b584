// One call of icmd.exe, the IPMI raw-command program: its command line, its
// run through the interpreter, and its response line in the capture file
// that the interpreter's redirection wrote.
#ifndef BMCUPDATE_BMC_ICMD_CALL_H_
#define BMCUPDATE_BMC_ICMD_CALL_H_

struct TextInput;

// The size of every icmd.exe command line and capture line buffer.
const int kIcmdBufferSize = 260;

// What FindResponseLine found.
enum CaptureResult {
  kCaptureFound = 0,
  kCaptureMissing = -1,     // the capture file cannot be opened
  kCaptureNoResponse = -2,  // no usable response line in it
};

// Deletes the capture file, then runs "icmd.exe -N ADDRESS -P \"PASSWORD\" "
// and `request` (the request bytes and the redirection), formatted from
// UpdateSettings into `buffer`, so that no earlier run's capture is ever
// taken for this one's; in the update span, again (twice at most) when an
// interrupt cut it short. 0, or -1 when the command did not fit and was not
// run.
int RunIcmd(char* buffer, int size, const char* request, const char* captureName);

// Reads the capture file until a line that holds `marker` and at least
// `minColumns` characters before its line feed; the columns are counted
// from the start of a line, so a piece cut from an over-long line never
// counts. The line is left in `line`.
CaptureResult FindResponseLine(const char* captureName, const char* marker, int minColumns,
                               char* line, int size);

// FindResponseLine on a capture already open: kCaptureFound or
// kCaptureNoResponse. Reads `input` to the line found or its end.
CaptureResult SearchResponseLine(TextInput* input, const char* marker, int minColumns, char* line,
                                 int size);

#endif  // BMCUPDATE_BMC_ICMD_CALL_H_
