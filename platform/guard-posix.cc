// POSIX side of what guards a run: the folder's lock, the interrupt notice,
// the clock and the append-only run log.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <initializer_list>

#include "platform/platform.h"

namespace {

const char* g_notice = "";
size_t g_noticeLength = 0;

// Only async-signal-safe calls: write, signal, raise.
extern "C" void WriteNoticeAndEnd(int signalNumber) {
  ssize_t ignored = write(STDOUT_FILENO, g_notice, g_noticeLength);
  (void)ignored;
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

}  // namespace

int LockFolder(const char* name) {
  // Without close-on-exec: the flash program inherits the lock and holds it
  // as long as it runs, even past the tool's end.
  int lock = open(name, O_RDWR | O_CREAT, 0666);  // NOLINT(android-cloexec-open)
  if (lock < 0) return -1;
  // Held open to the end of the process on purpose: closing it would unlock.
  // cppcheck-suppress resourceLeak
  if (flock(lock, LOCK_EX | LOCK_NB) == 0) return 0;
  int busy = errno == EWOULDBLOCK ? 1 : -1;
  close(lock);
  return busy;
}

void WarnOnInterrupt(const char* notice) {
  g_notice = notice;
  g_noticeLength = std::strlen(notice);
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = WriteNoticeAndEnd;
  sigemptyset(&action.sa_mask);
  for (int signalNumber : {SIGINT, SIGQUIT, SIGHUP, SIGTERM})
    sigaction(signalNumber, &action, nullptr);
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
  char text[1024];
  int length = std::snprintf(text, sizeof text, "%s%s", fresh ? header : "", line);
  // One write: a reader never sees half a line, nor a line without its header.
  bool written = length > 0 && length < static_cast<int>(sizeof text) &&
                 write(file, text, static_cast<size_t>(length)) == length;
  close(file);
  return written ? 0 : -1;
}
