// Files on POSIX: reading, deleting, the folder's lock and the run log's
// append. Names are matched without regard to case, as on Windows.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"
#include "platform/internal.h"

// Windows file names ignore case; here an existing file whose name differs
// only in case is the one meant.
const char* FindFileName(const char* name, char* found, int size) {
  struct stat info;
  if (stat(name, &info) == 0) return name;
  DIR* folder = opendir(".");
  if (folder == nullptr) return name;
  const char* result = name;
  for (struct dirent* entry = readdir(folder); entry != nullptr; entry = readdir(folder)) {
    if (strcasecmp(entry->d_name, name) == 0 &&
        std::snprintf(found, static_cast<size_t>(size), "%s", entry->d_name) < size) {
      result = found;
      break;
    }
  }
  closedir(folder);
  return result;
}

int OpenTextInput(const char* name, TextInput* input) {
  char found[256];
  input->stream = nullptr;
  input->pending = -1;
  input->ended = 1;
  const char* path = FindFileName(name, found, sizeof found);
  struct stat info;
  // A folder of that name is no file to read, as on Windows.
  if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  input->stream = std::fopen(path, "rb");
  if (input->stream == nullptr) return -1;
  input->ended = 0;
  return 0;
}

int DeleteNamedFile(const char* name) {
  char found[256];
  return unlink(FindFileName(name, found, sizeof found)) == 0 ? 0 : -1;
}

namespace {

// Takes the lock of file `path`, made with `mode`. As LockFolder.
LockResult TakeFileLock(const char* path, mode_t mode) {
  // Close-on-exec: only the flash program gets the lock (see StartChild), so
  // that a hung icmd.exe run cannot keep it locked past the tool.
  int lock = open(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, mode);
  if (lock < 0) return kLockUnavailable;
  if (flock(lock, LOCK_EX | LOCK_NB) == 0) {
    // Held open to the end of the process on purpose: closing it would unlock.
    HandOnToFlash(lock);
    return kLockTaken;
  }
  LockResult busy = errno == EWOULDBLOCK ? kLockHeldElsewhere : kLockUnavailable;
  close(lock);
  return busy;
}

}  // namespace

LockResult RealLockFolder(const char* name) { return TakeFileLock(name, 0666); }

LockResult RealLockInTempFolder(const char* name) {
  const char* temp = std::getenv("TMPDIR");
  char path[4096];
  int folder = std::snprintf(path, sizeof path, "%s/bmcupdate-%u",
                             temp != nullptr && temp[0] != '\0' ? temp : "/tmp", getuid());
  if (folder < 0 || folder >= static_cast<int>(sizeof path)) return kLockUnavailable;
  if (mkdir(path, 0700) != 0 && errno != EEXIST) return kLockUnavailable;
  // A folder someone else made or may write would let them hold or fake
  // the lock: no lock then, rather than theirs.
  struct stat info;
  if (lstat(path, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
      (info.st_mode & 077) != 0) {
    return kLockUnavailable;
  }
  int whole = std::snprintf(path + folder, sizeof path - folder, "/%s", name);
  if (whole < 0 || whole >= static_cast<int>(sizeof path) - folder) return kLockUnavailable;
  return TakeFileLock(path, 0600);
}

long long RealRegularFileSize(const char* name) {
  struct stat info;
  return stat(name, &info) == 0 && S_ISREG(info.st_mode) ? static_cast<long long>(info.st_size)
                                                         : -1;
}

int RealProbeFolderWritable(const char* probeName) {
  int probe = open(probeName, O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (probe < 0) return -1;
  close(probe);
  return unlink(probeName) == 0 ? 0 : -1;
}

int AppendTextLine(const char* name, const char* header, const char* line) {
  int file = open(name, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (file < 0) return -1;
  struct stat info;
  bool fresh = fstat(file, &info) == 0 && info.st_size == 0;
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
