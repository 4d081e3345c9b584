// Console input and output on POSIX. Standard input is read in the text
// mode of the Windows runtime (CR LF as LF, byte 1Ah ends it), so that the
// same answers, typed or from a file written on Windows, mean the same.
#include <cstdio>

#include "platform/platform.h"

namespace {

TextInput g_standardInput = {stdin, -1, 0};

}  // namespace

void ConsoleWrite(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}

int ConsoleReadByte() { return ReadTextByte(&g_standardInput); }
