// Console input and output on Windows through the C runtime's standard
// streams: its text mode turns each LF into CR LF on the way out, and reads
// CR LF as LF and byte 1Ah as the end on the way in.
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
