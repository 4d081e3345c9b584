// icmd.exe's text form: hex digit pairs and the response line.
#include "icmd-text/icmd_text.h"

#include <cstdio>

namespace {

// The value of one hex digit, or -1.
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

int ParseHexPair(const char* text) {
  int high = HexDigit(text[0]);
  // A string's NUL is no digit: text[1] may lie past its end then.
  int low = high < 0 ? -1 : HexDigit(text[1]);
  return low < 0 ? -1 : high * 16 + low;
}

int FormatResponseLine(const unsigned char* bytes, int count, char* line, int size) {
  int used = std::snprintf(line, static_cast<size_t>(size), "respData[len=%d]:", count);
  if (used < 0 || used >= size) return -1;
  for (int i = 0; i < count; ++i) {
    int added = std::snprintf(line + used, static_cast<size_t>(size - used), " %02X", bytes[i]);
    if (added < 0 || added >= size - used) return -1;
    used += added;
  }
  return 0;
}
