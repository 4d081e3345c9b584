// The text form of icmd.exe's interface: bytes written as two hex digits,
// and the response line it prints.
#ifndef BMCUPDATE_ICMD_TEXT_ICMD_TEXT_H_
#define BMCUPDATE_ICMD_TEXT_ICMD_TEXT_H_

// The byte written as two hex digits, either case, at text[0] and text[1];
// or -1. Reads text[1] only when text[0] is a hex digit.
int ParseHexPair(const char* text);

// Formats "respData[len=N]: XX XX ..." (N the decimal count, capital hex,
// single blanks, no line feed). 0, or -1 when it does not fit in `size`.
int FormatResponseLine(const unsigned char* bytes, int count, char* line, int size);

#endif  // BMCUPDATE_ICMD_TEXT_ICMD_TEXT_H_
