// Windows implementation of the platform layer: the Win32 calls and the
// C runtime's command interpreter, as the tool has always used them.
#include <process.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace {

// The last backslash that is a path separator and not the second byte of a
// double-byte character (0x5C is a valid trail byte in code page 932).
char* LastPathSeparator(char* path) {
  char* last = nullptr;
  for (char* at = path; *at != '\0'; ++at) {
    if (IsDBCSLeadByte(static_cast<BYTE>(*at)) && at[1] != '\0') {
      ++at;
    } else if (*at == '\\') {
      last = at;
    }
  }
  return last;
}

// PATH's new value: the program's folder, then what PATH held. Kept for the
// life of the process, as the runtime may keep the text it is given.
char g_path[5 + MAX_PATH + 32768];

// Puts the folder (`length` bytes of `folder`) in front of PATH, so that the
// interpreter finds icmd.exe there even where a policy
// (NoDefaultCurrentDirectoryInExePath) keeps it from the working directory.
void PutFolderFirstOnPath(const char* folder, int length) {
  int head = std::snprintf(g_path, sizeof g_path, "PATH=%.*s;", length, folder);
  DWORD size = sizeof g_path - static_cast<DWORD>(head);
  DWORD old = GetEnvironmentVariableA("PATH", g_path + head, size);
  if (old >= size) return;  // PATH too long to keep whole: left as it is
  if (old == 0) g_path[head - 1] = '\0';
  // The runtime's copy of the environment, and the system's, which the
  // interpreter inherits.
  _putenv(g_path);
}

}  // namespace

int EnterProgramFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  // A cut path would name some other folder.
  if (length == 0 || length >= MAX_PATH) return -1;
  char* separator = LastPathSeparator(path);
  if (separator == nullptr) return -1;
  separator[1] = '\0';
  if (!SetCurrentDirectoryA(path)) return -1;
  // A drive's root keeps its backslash ("C:\"); other folders go without.
  int folderLength = static_cast<int>(separator - path);
  PutFolderFirstOnPath(path, folderLength == 2 ? 3 : folderLength);
  return 0;
}

void RunInterpreter(const char* commandText) {
  std::fflush(stdout);
  int ignored = std::system(commandText);
  (void)ignored;
}

void PauseForKey(const char* /*prompt: cmd.exe prints its own*/) {
  std::fflush(stdout);
  int ignored = std::system("pause");
  (void)ignored;
}

namespace {

DWORD g_savedInputMode;

// Ctrl+C while the echo is off: the echo is put back, then the next handler
// (in the end the default one) deals with it.
BOOL WINAPI RestoreEchoAndGoOn(DWORD /*event*/) {
  SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), g_savedInputMode);
  return FALSE;
}

}  // namespace

int HideTypedInput() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (!GetConsoleMode(input, &g_savedInputMode)) return 0;
  SetConsoleCtrlHandler(RestoreEchoAndGoOn, TRUE);
  if (SetConsoleMode(input, g_savedInputMode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT))) return 1;
  SetConsoleCtrlHandler(RestoreEchoAndGoOn, FALSE);
  return 0;
}

void ShowTypedInput() {
  SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), g_savedInputMode);
  SetConsoleCtrlHandler(RestoreEchoAndGoOn, FALSE);
}

int OpenTextInput(const char* name, TextInput* input) {
  input->pending = -1;
  input->stream = std::fopen(name, "rb");
  input->ended = input->stream == nullptr ? 1 : 0;
  return input->stream == nullptr ? -1 : 0;
}

int DeleteNamedFile(const char* name) { return DeleteFileA(name) ? 0 : -1; }

namespace {

struct ThreadStart {
  void (*body)();
};

void __cdecl ThreadEntry(void* argument) {
  ThreadStart start = *static_cast<ThreadStart*>(argument);
  std::free(argument);
  start.body();
}

}  // namespace

int StartDetachedThread(void (*body)()) {
  auto* start = static_cast<ThreadStart*>(std::malloc(sizeof(ThreadStart)));
  if (start == nullptr) return -1;
  start->body = body;
  // _beginthread closes its own handle when the thread ends.
  if (_beginthread(ThreadEntry, 0, start) == static_cast<uintptr_t>(-1L)) {
    std::free(start);
    return -1;
  }
  return 0;
}

// A process group of its own ignores Ctrl+C; it still shares the console.
int RunChildWithInput(char* commandLine, const char* inputName) {
  SECURITY_ATTRIBUTES inheritable = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE file = CreateFileA(inputName, GENERIC_READ, FILE_SHARE_READ, &inheritable, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE input = nullptr;
  // INVALID_HANDLE_VALUE is also the pseudo-handle of this process: a missing
  // input file must not hand the child a handle to the tool itself.
  if (file != INVALID_HANDLE_VALUE) {
    DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &input, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
  }
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof process);
  std::fflush(stdout);
  BOOL started = CreateProcessA(nullptr, commandLine, &inheritable, &inheritable, TRUE,
                                NORMAL_PRIORITY_CLASS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr,
                                &startup, &process);
  if (started) {
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
  }
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (input != nullptr) CloseHandle(input);
  return started ? 0 : -1;
}
