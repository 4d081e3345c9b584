// Console input and output through the C runtime's standard streams; the
// same on every platform (the Windows runtime's text mode turns each LF into
// CR LF on the way out and CR LF into LF on the way in).
#include <cstdio>

#include "platform/platform.h"

void ConsoleWrite(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}

int ConsoleReadByte() {
  int byte = std::getchar();
  return byte == EOF ? -1 : byte;
}
