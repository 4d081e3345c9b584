// Reading ipmitool's hex dump of a response.
#include "icmd-ipmitool/response.h"

#include "icmd-text/icmd_text.h"

namespace {

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
    int value = ParseHexPair(text + at);
    if (value < 0 || count >= capacity) return -1;
    bytes[count++] = static_cast<unsigned char>(value);
    at += 2;
  }
  return count;
}
