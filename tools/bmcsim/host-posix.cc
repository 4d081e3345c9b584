// The simulated BMC's host services on POSIX systems.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "host.h"

void PrepareStandardStreams() {
  // A closed output descriptor would otherwise be taken by the next file
  // opened, and chatter meant for the console would land in that file. The
  // input is left as the caller gave it: the flash stand-in must show it.
  for (int fd = 1; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) continue;
    int opened = open("/dev/null", O_WRONLY);
    if (opened != -1 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

char PathListSeparator() { return ':'; }

const char* RawCommandLine() { return nullptr; }

int ShieldedFromConsoleInterrupt() { return getsid(0) == getpid() ? 1 : 0; }

int ReplaceFileAtomically(const char* from, const char* to) {
  return std::rename(from, to) == 0 ? 0 : -1;
}
