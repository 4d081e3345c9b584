// Turning ipmitool's hex dump into the response line the tool reads.
#include "icmd-ipmitool/response.h"

#include <cstdio>

namespace {

// The value of one hex digit, or -1.
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// What may stand between two bytes of the dump.
bool IsBlank(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

}  // namespace

int ParseIpmitoolOutput(const char* text, int length, unsigned char* bytes, int capacity) {
  // A cut-off dump does not end with its line feed.
  if (length <= 0 || text[length - 1] != '\n') return -1;
  int count = 0;
  int at = 0;
  while (at < length) {
    if (IsBlank(text[at])) {
      ++at;
      continue;
    }
    // A byte: two digits, then a blank (the last line feed at the latest).
    if (length - at < 3 || !IsBlank(text[at + 2])) return -1;
    int high = HexValue(text[at]);
    int low = HexValue(text[at + 1]);
    if (high < 0 || low < 0 || count >= capacity) return -1;
    bytes[count++] = static_cast<unsigned char>(high * 16 + low);
    at += 2;
  }
  return count;
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
