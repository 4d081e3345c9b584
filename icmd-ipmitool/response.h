// ipmitool's printed response and the response line icmd.exe prints.
#ifndef BMCUPDATE_ICMD_IPMITOOL_RESPONSE_H_
#define BMCUPDATE_ICMD_IPMITOOL_RESPONSE_H_

// The most response data bytes an IPMI response can carry.
const int kMaxResponseBytes = 255;
// Room for the response line of that many bytes: "respData[len=255]:",
// three columns per byte, the NUL.
const int kResponseLineSize = 20 + 3 * kMaxResponseBytes;

// Reads what "ipmitool raw" printed for a successful request: the data
// bytes (completion code not included) as blank-separated two-digit hex
// numbers, sixteen to a line, every line ended by a line feed; a response
// without data is one empty line. Reads `length` bytes of `text`, no more.
// The number of bytes stored in `bytes`, or -1 when the text has any other
// form or holds more than `capacity` bytes.
int ParseIpmitoolOutput(const char* text, int length, unsigned char* bytes, int capacity);

#endif  // BMCUPDATE_ICMD_IPMITOOL_RESPONSE_H_
