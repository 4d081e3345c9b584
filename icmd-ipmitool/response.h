// ipmitool's printed response and the response line icmd.exe prints.
#ifndef BMCUPDATE_ICMD_IPMITOOL_RESPONSE_H_
#define BMCUPDATE_ICMD_IPMITOOL_RESPONSE_H_

// The most response data bytes an IPMI response can carry.
const int kMaxResponseBytes = 255;
// "respData[len=255]:", three columns per byte, the NUL.
const int kResponseLineSize = 20 + 3 * kMaxResponseBytes;

// Reads what "ipmitool raw" printed for a successful request: the data
// bytes (completion code not included) as blank-separated two-digit hex
// numbers, sixteen to a line, every line ended by a line feed; a response
// without data is one empty line. Reads `length` bytes of `text`, no more.
// The number of bytes stored in `bytes`, or -1 when the text has any other
// form or holds more than `capacity` bytes.
int ParseIpmitoolOutput(const char* text, int length, unsigned char* bytes, int capacity);

// Formats "respData[len=N]: XX XX ..." (N the decimal count, capital hex,
// single blanks, no line feed). 0, or -1 when it does not fit in `size`.
int FormatResponseLine(const unsigned char* bytes, int count, char* line, int size);

#endif  // BMCUPDATE_ICMD_IPMITOOL_RESPONSE_H_
