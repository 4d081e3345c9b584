// The simulated BMC's host services on POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

int FirstPathFolder(char* folder, int size) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return -1;
  int length = static_cast<int>(std::strcspn(path, ":"));
  return length > 0 && std::snprintf(folder, size, "%.*s", length, path) < size ? 0 : -1;
}

int HoldsOpenFile(const char* name) {
  DIR* descriptors = opendir("/proc/self/fd");
  if (descriptors == nullptr) return 0;
  int held = 0;
  size_t length = std::strlen(name);
  char link[300], target[4096];
  for (struct dirent* entry = readdir(descriptors); entry != nullptr && !held;
       entry = readdir(descriptors)) {
    std::snprintf(link, sizeof link, "/proc/self/fd/%s", entry->d_name);
    ssize_t got = readlink(link, target, sizeof target - 1);
    if (got <= static_cast<ssize_t>(length)) continue;
    target[got] = '\0';
    held = target[got - length - 1] == '/' && std::strcmp(target + got - length, name) == 0;
  }
  closedir(descriptors);
  return held;
}

int ConsoleProcessCount() { return -1; }

const char* RawCommandLine() { return nullptr; }

int ShieldedFromConsoleInterrupt() { return getsid(0) == getpid() ? 1 : 0; }

int ReplaceFileAtomically(const char* from, const char* to) {
  return std::rename(from, to) == 0 ? 0 : -1;
}
