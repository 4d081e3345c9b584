// The simulated BMC's host services on Windows.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

int FirstPathFolder(char* folder, int size) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return -1;
  // An entry in double quotes may hold the separator.
  bool quoted = path[0] == '"';
  const char* start = quoted ? path + 1 : path;
  int length = static_cast<int>(std::strcspn(start, quoted ? "\"" : ";"));
  return length > 0 && std::snprintf(folder, size, "%.*s", length, start) < size ? 0 : -1;
}

int HoldsOpenFile(const char* name) {
  // Handles are small multiples of four; an inherited one keeps its value.
  size_t length = std::strlen(name);
  char path[MAX_PATH + 8];
  for (uintptr_t value = 4; value <= 4096; value += 4) {
    auto handle = reinterpret_cast<HANDLE>(value);
    if (GetFileType(handle) != FILE_TYPE_DISK) continue;
    DWORD got = GetFinalPathNameByHandleA(handle, path, sizeof path, FILE_NAME_NORMALIZED);
    if (got > length && got < sizeof path && path[got - length - 1] == '\\' &&
        _stricmp(path + got - length, name) == 0) {
      return 1;
    }
  }
  return 0;
}

int ConsoleProcessCount() {
  DWORD processes[16];
  return static_cast<int>(GetConsoleProcessList(processes, 16));
}

const char* RawCommandLine() { return GetCommandLineA(); }

int ShieldedFromConsoleInterrupt() {
  // A new process group starts with Ctrl+C off: the process parameters'
  // console flags (offset 18h on x64) hold 1.
  // The runtime's inline TEB read trips -Warray-bounds; the read is sound.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
  auto* parameters = reinterpret_cast<const unsigned char*>(
      NtCurrentTeb()->ProcessEnvironmentBlock->ProcessParameters);
#pragma GCC diagnostic pop
  return (*reinterpret_cast<const ULONG*>(parameters + 0x18) & 1) != 0 ? 1 : 0;
}

int ReplaceFileAtomically(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) ? 0 : -1;
}
