// Programs on Windows: the tool's folder, the C runtime's command
// interpreter, threads and the flash program, as the tool has always used
// them.
#include <process.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/internal.h"
#include "platform/process.h"

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
  // A ';' in the folder's name would split it into two entries; cmd.exe
  // takes an entry in double quotes whole.
  const char* quote = std::memchr(folder, ';', static_cast<size_t>(length)) != nullptr ? "\"" : "";
  int head = std::snprintf(g_path, sizeof g_path, "PATH=%s%.*s%s;", quote, length, folder, quote);
  DWORD size = sizeof g_path - static_cast<DWORD>(head);
  DWORD old = GetEnvironmentVariableA("PATH", g_path + head, size);
  if (old >= size) return;  // PATH too long to keep whole: left as it is
  if (old == 0) g_path[head - 1] = '\0';
  // The runtime's copy of the environment, and the system's, which the
  // interpreter inherits.
  _putenv(g_path);
}

}  // namespace

int RealEnterProgramFolder() {
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

namespace {

// 1 when `folder` (`length` bytes, maybe in double quotes) holds a file
// `name` that is no folder.
int FolderHolds(const char* folder, size_t length, const char* name) {
  if (length >= 2 && folder[0] == '"' && folder[length - 1] == '"') {
    ++folder;
    length -= 2;
  }
  char path[MAX_PATH];
  int n = std::snprintf(path, sizeof path, "%.*s%s%s", static_cast<int>(length), folder,
                        length > 0 && folder[length - 1] != '\\' ? "\\" : "", name);
  DWORD attributes = n > 0 && n < static_cast<int>(sizeof path) ? GetFileAttributesA(path)
                                                                : INVALID_FILE_ATTRIBUTES;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

// As cmd.exe looks: the working directory, then PATH, whose first entry is
// the tool's folder.
int RealInterpreterFinds(const char* name) {
  if (FolderHolds(".", 1, name)) return 1;
  static char path[32768];
  DWORD length = GetEnvironmentVariableA("PATH", path, sizeof path);
  if (length == 0 || length >= sizeof path) return 0;
  for (const char* at = path; *at != '\0';) {
    // A folder in double quotes may hold the separator.
    const char* end = *at == '"' ? std::strchr(at + 1, '"') : nullptr;
    size_t entry = end != nullptr ? static_cast<size_t>(end + 1 - at) : std::strcspn(at, ";");
    if (entry > 0 && FolderHolds(at, entry, name)) return 1;
    at += entry;
    at += std::strspn(at, ";");
  }
  return 0;
}

// As CreateProcess looks: the program's folder first, then the system's
// folders and PATH.
int RealFlashStartFinds(const char* name) {
  char path[MAX_PATH];
  DWORD found = SearchPathA(nullptr, name, nullptr, sizeof path, path, nullptr);
  return found > 0 && found < sizeof path && FolderHolds("", 0, path) ? 1 : 0;
}

InterpreterRun RealRunInterpreter(const char* commandText) {
  char interpreter[MAX_PATH];
  DWORD found = GetEnvironmentVariableA("COMSPEC", interpreter, sizeof interpreter);
  if (found == 0 || found >= sizeof interpreter)
    std::snprintf(interpreter, sizeof interpreter, "cmd.exe");
  size_t size = std::strlen(interpreter) + std::strlen(commandText) + 8;
  char* line = static_cast<char*>(std::malloc(size));
  if (line == nullptr) return kRunEnded;
  std::snprintf(line, size, "\"%s\" /c %s", interpreter, commandText);
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process;
  // In the update span a process group of its own: Ctrl+C is off in it and
  // in icmd.exe, which inherits that, while both still write to the console.
  DWORD flags = InUpdateSpan() != 0 ? CREATE_NEW_PROCESS_GROUP : 0;
  std::fflush(stdout);
  BOOL started = CreateProcessA(nullptr, line, nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                                &startup, &process);
  std::free(line);
  if (!started) return kRunEnded;
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  // Ctrl+Break reaches every program on the console, Ctrl+C or not.
  return code == static_cast<DWORD>(STATUS_CONTROL_C_EXIT) && InUpdateSpan() != 0 ? kRunInterrupted
                                                                                  : kRunEnded;
}

namespace {

void __cdecl ThreadEntry(void* start) { RunThreadStart(start); }

}  // namespace

int StartDetachedThread(void (*body)()) {
  void* start = NewThreadStart(body);
  if (start == nullptr) return -1;
  // _beginthread closes its own handle when the thread ends.
  if (_beginthread(ThreadEntry, 0, start) == static_cast<uintptr_t>(-1L)) {
    std::free(start);
    return -1;
  }
  return 0;
}

namespace {

// What StartChild holds for its program until WaitForChild: the program,
// yes.txt and the duplicate it reads, the null device it writes to.
HANDLE g_child = nullptr;
HANDLE g_childFile = INVALID_HANDLE_VALUE;
HANDLE g_childInput = INVALID_HANDLE_VALUE;
HANDLE g_childOutput = INVALID_HANDLE_VALUE;

void CloseOpen(HANDLE* handle) {
  if (*handle != INVALID_HANDLE_VALUE && *handle != nullptr) CloseHandle(*handle);
  *handle = INVALID_HANDLE_VALUE;
}

void ReleaseChildFiles() {
  CloseOpen(&g_childFile);
  CloseOpen(&g_childInput);
  CloseOpen(&g_childOutput);
}

// The null device, inheritable. With a console of its own, a program given
// no handle would read and write that console, which no one sees: without
// yes.txt a flash program would wait there for an answer forever.
HANDLE OpenNullDevice(DWORD access) {
  SECURITY_ATTRIBUTES inheritable = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileA("NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Opens yes.txt and an inheritable duplicate of it (or else the null device)
// for the child's input, and the null device for its output. Only the
// duplicate is inheritable: the child gets one handle to yes.txt.
void OpenChildFiles(const char* inputName) {
  g_childFile = CreateFileA(inputName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  // INVALID_HANDLE_VALUE is also the pseudo-handle of this process: a missing
  // input file must not hand the child a handle to the tool itself.
  if (g_childFile == INVALID_HANDLE_VALUE ||
      !DuplicateHandle(GetCurrentProcess(), g_childFile, GetCurrentProcess(), &g_childInput, 0,
                       TRUE, DUPLICATE_SAME_ACCESS)) {
    g_childInput = OpenNullDevice(GENERIC_READ);
  }
  g_childOutput = OpenNullDevice(GENERIC_WRITE);
}

// Marks the handles handed on inheritable or not: only the program started
// between the two marks gets them, and nothing else starts meanwhile.
void LetChildInherit(bool inherit) {
  for (int i = 0; i < HandedOnCount(); ++i) {
    SetHandleInformation(reinterpret_cast<HANDLE>(static_cast<intptr_t>(HandedOn(i))),
                         HANDLE_FLAG_INHERIT, inherit ? HANDLE_FLAG_INHERIT : 0);
  }
}

// A list of exactly the handles the child inherits: its standard ones and
// those handed on. Null where the system cannot make one; the marks above
// then keep the rest from it.
LPPROC_THREAD_ATTRIBUTE_LIST NewHandleList(HANDLE* handles, int* count) {
  handles[(*count)++] = g_childInput;
  handles[(*count)++] = g_childOutput;
  for (int i = 0; i < HandedOnCount(); ++i) {
    handles[(*count)++] = reinterpret_cast<HANDLE>(static_cast<intptr_t>(HandedOn(i)));
  }
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  auto list = static_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(std::malloc(size));
  if (list == nullptr) return nullptr;
  if (InitializeProcThreadAttributeList(list, 1, 0, &size)) {
    if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                  static_cast<SIZE_T>(*count) * sizeof(HANDLE), nullptr, nullptr)) {
      return list;
    }
    DeleteProcThreadAttributeList(list);
  }
  std::free(list);
  return nullptr;
}

}  // namespace

// A process group of its own ignores Ctrl+C; a console of its own, with no
// window, keeps Ctrl+Break and the closing of the tool's window from it.
int RealStartChild(char* commandLine, const char* inputName) {
  OpenChildFiles(inputName);
  STARTUPINFOEXA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = g_childInput;
  startup.StartupInfo.hStdOutput = g_childOutput;
  startup.StartupInfo.hStdError = g_childOutput;
  HANDLE handles[8];
  int count = 0;
  startup.lpAttributeList = NewHandleList(handles, &count);
  DWORD flags = NORMAL_PRIORITY_CLASS | CREATE_NEW_PROCESS_GROUP | CREATE_NO_WINDOW |
                (startup.lpAttributeList != nullptr ? EXTENDED_STARTUPINFO_PRESENT : 0);
  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof process);
  std::fflush(stdout);
  LetChildInherit(true);
  BOOL started = CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, flags, nullptr,
                                nullptr, &startup.StartupInfo, &process);
  LetChildInherit(false);
  if (startup.lpAttributeList != nullptr) {
    DeleteProcThreadAttributeList(startup.lpAttributeList);
    std::free(startup.lpAttributeList);
  }
  if (!started) {
    ReleaseChildFiles();
    return -1;
  }
  CloseHandle(process.hThread);
  g_child = process.hProcess;
  return 0;
}

void RealWaitForChild() {
  if (g_child != nullptr) {
    WaitForSingleObject(g_child, INFINITE);
    CloseHandle(g_child);
    g_child = nullptr;
  }
  ReleaseChildFiles();
}
