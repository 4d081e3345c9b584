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

int LockFolder(const char* name) {
  // Not inheritable: only the flash program gets the lock (see StartChild),
  // so that a hung icmd.exe run cannot keep the folder locked past the tool.
  // The file goes when the last handle closes, however its holders end.
  HANDLE lock = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (lock == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION ? 1 : -1;
  HandOnToFlash(static_cast<long long>(reinterpret_cast<intptr_t>(lock)));
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
