// The simulated BMC's host services on Windows.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "host.h"

// Arguments reach main exactly as the command line gives them: a '*' or '?'
// in a password is never expanded into file names.
int _dowildcard = 0;

void PrepareStandardStreams() {
  // The runtime's text mode would turn LF into CR LF and stop reading at
  // byte 1Ah; the simulator decides every byte itself. A stream the parent
  // gave no handle has no descriptor and is left alone: its reads and writes
  // simply fail.
  std::FILE* streams[] = {stdin, stdout, stderr};
  for (std::FILE* stream : streams) {
    int fd = _fileno(stream);
    if (fd >= 0) _setmode(fd, _O_BINARY);
  }
}

const char* RawCommandLine() { return GetCommandLineA(); }

int ReplaceFileAtomically(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) ? 0 : -1;
}
