// Asks every top-level window of a running program whether the session may
// end, as Windows asks at logoff or shutdown, and prints one line a window:
// its answer (0 refuses, "none" when it gave none) and its title in UTF-8.
//   guard-probe.exe NAME.exe      exit 1 when no process has that name
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

namespace {

// The id of a process running `name`, or 0.
DWORD FindProcess(const char* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32First(snapshot, &entry); more && found == 0;
       more = Process32Next(snapshot, &entry)) {
    if (_stricmp(entry.szExeFile, name) == 0) found = entry.th32ProcessID;
  }
  CloseHandle(snapshot);
  return found;
}

BOOL CALLBACK AskWindow(HWND window, LPARAM process) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != static_cast<DWORD>(process)) return TRUE;
  wchar_t title[256];
  char text[768];
  int length = GetWindowTextW(window, title, 256);
  title[length] = L'\0';
  if (WideCharToMultiByte(CP_UTF8, 0, title, -1, text, sizeof text, nullptr, nullptr) == 0) {
    text[0] = '\0';
  }
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer) !=
      0) {
    std::printf("%lu %s\n", static_cast<unsigned long>(answer), text);
  } else {
    std::printf("none %s\n", text);
  }
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  DWORD process = argc == 2 ? FindProcess(argv[1]) : 0;
  if (process == 0) return 1;
  EnumWindows(AskWindow, static_cast<LPARAM>(process));
  return 0;
}
