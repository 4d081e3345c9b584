// POSIX side of what guards a run: the folder's lock, the clock and the
// append-only run log.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/internal.h"
#include "platform/platform.h"

namespace {

// The folder's lock; -1 while none is held.
int g_lock = -1;

}  // namespace

int LockFolder(const char* name) {
  // Close-on-exec: only the flash program gets the lock (see StartChild), so
  // that a hung icmd.exe run cannot keep the folder locked past the tool.
  int lock = open(name, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (lock < 0) return -1;
  if (flock(lock, LOCK_EX | LOCK_NB) == 0) {
    // Held open to the end of the process on purpose: closing it would unlock.
    g_lock = lock;
    return 0;
  }
  int busy = errno == EWOULDBLOCK ? 1 : -1;
  close(lock);
  return busy;
}

long long HeldFolderLock() { return g_lock; }

void SleepBriefly() {
  struct timespec pause = {0, 1000000};
  nanosleep(&pause, nullptr);
}

void ReadLocalTime(LocalTime* now) {
  std::time_t seconds = std::time(nullptr);
  struct tm local;
  std::memset(&local, 0, sizeof local);
  localtime_r(&seconds, &local);
  *now = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

int AppendTextLine(const char* name, const char* header, const char* line) {
  int file = open(name, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (file < 0) return -1;
  struct stat info;
  bool fresh = fstat(file, &info) == 0 && info.st_size == 0;
  // Put together by hand: an interrupt handler appends through here, and
  // the formatted print is not safe there.
  char text[1024];
  size_t head = fresh ? std::strlen(header) : 0, length = std::strlen(line);
  bool fits = head + length <= sizeof text;
  // Bytes for write(), which needs no terminator.
  if (fits) {
    std::memcpy(text, header, head);         // NOLINT(bugprone-not-null-terminated-result)
    std::memcpy(text + head, line, length);  // NOLINT(bugprone-not-null-terminated-result)
  }
  // One write: a reader never sees half a line, nor a line without its header.
  bool written = fits && write(file, text, head + length) == static_cast<ssize_t>(head + length);
  close(file);
  return written ? 0 : -1;
}
