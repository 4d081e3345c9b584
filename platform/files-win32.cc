// Files on Windows: reading, deleting, the folder's lock and the run log's
// append.
#include <windows.h>

#include <cstdio>

#include "platform/files.h"
#include "platform/internal.h"

namespace {

// Copies `text` to `out` with every LF written as CR LF; the new end, or
// null when it does not fit before `limit`.
char* WithCrLf(const char* text, char* out, const char* limit) {
  for (; *text != '\0'; ++text) {
    if (out + 2 >= limit) return nullptr;
    if (*text == '\n') *out++ = '\r';
    *out++ = *text;
  }
  return out;
}

}  // namespace

int OpenTextInput(const char* name, TextInput* input) {
  input->pending = -1;
  input->stream = std::fopen(name, "rb");
  input->ended = input->stream == nullptr ? 1 : 0;
  return input->stream == nullptr ? -1 : 0;
}

int DeleteNamedFile(const char* name) { return DeleteFileA(name) ? 0 : -1; }

namespace {

// Takes the lock of file `path`. As LockFolder.
LockResult TakeFileLock(const char* path) {
  // Not inheritable: only the flash program gets the lock (see StartChild),
  // so that a hung icmd.exe run cannot keep it locked past the tool. The
  // file goes when the last handle closes, however its holders end.
  HANDLE lock = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (lock == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_SHARING_VIOLATION ? kLockHeldElsewhere : kLockUnavailable;
  }
  HandOnToFlash(static_cast<long long>(reinterpret_cast<intptr_t>(lock)));
  return kLockTaken;
}

}  // namespace

LockResult RealLockFolder(const char* name) { return TakeFileLock(name); }

LockResult RealLockInTempFolder(const char* name) {
  char path[MAX_PATH + 1];
  DWORD length = GetTempPathA(sizeof path, path);
  if (length == 0 || length >= sizeof path) return kLockUnavailable;
  int folder = std::snprintf(path + length, sizeof path - length, "bmcupdate");
  if (folder < 0 || folder >= static_cast<int>(sizeof path - length)) return kLockUnavailable;
  if (!CreateDirectoryA(path, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return kLockUnavailable;
  size_t used = length + static_cast<size_t>(folder);
  int whole = std::snprintf(path + used, sizeof path - used, "\\%s", name);
  if (whole < 0 || whole >= static_cast<int>(sizeof path - used)) return kLockUnavailable;
  return TakeFileLock(path);
}

long long RealRegularFileSize(const char* name) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(name, GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
    return -1;
  }
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int RealProbeFolderWritable(const char* probeName) {
  HANDLE probe = CreateFileA(probeName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return -1;
  CloseHandle(probe);
  return 0;
}

int AppendTextLine(const char* name, const char* header, const char* line) {
  HANDLE file =
      CreateFileA(name, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  LARGE_INTEGER size;
  bool fresh = GetFileSizeEx(file, &size) && size.QuadPart == 0;
  char text[2048];
  char* end = WithCrLf(fresh ? header : "", text, text + sizeof text);
  if (end != nullptr) end = WithCrLf(line, end, text + sizeof text);
  DWORD length = end != nullptr ? static_cast<DWORD>(end - text) : 0;
  DWORD written = 0;
  // One write: a reader never sees half a line, nor a line without its header.
  bool done =
      end != nullptr && WriteFile(file, text, length, &written, nullptr) && written == length;
  CloseHandle(file);
  return done ? 0 : -1;
}
