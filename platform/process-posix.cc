// Programs on POSIX: the tool's folder, the command interpreter, threads and
// the flash program. The command texts are written for the Windows
// interpreter; the features they rely on (the null device "nul", file names
// that ignore case, the program's folder searched first) mean the same here.
#include <fcntl.h>
#include <pthread.h>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/internal.h"
#include "platform/process.h"
#include "platform/windows-argv.h"

// POSIX leaves this declaration to the program; glibc has it only as an extension.
extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace {

// The program's folder with its trailing slash, empty when unknown.
char g_programFolder[4096];

// Rewrites the command's trailing "> NAME": "nul" becomes the null device,
// and other names are written in lower case, which is how the tool reads
// them, so that "Version.txt" and "version.txt" stay one file as on Windows.
int RewriteRedirection(const char* text, char* command, size_t size) {
  const char* redirect = nullptr;
  for (const char* at = std::strstr(text, " > "); at != nullptr; at = std::strstr(at + 1, " > ")) {
    redirect = at;
  }
  if (redirect == nullptr) {
    return std::snprintf(command, size, "%s", text) < static_cast<int>(size) ? 0 : -1;
  }
  const char* target = redirect + 3;
  int head = static_cast<int>(target - text);
  if (strcasecmp(target, "nul") == 0) {
    int n = std::snprintf(command, size, "%.*s/dev/null", head, text);
    return n >= 0 && n < static_cast<int>(size) ? 0 : -1;
  }
  size_t length = std::strlen(text);
  if (length >= size) return -1;
  for (size_t i = 0; i <= length; ++i) {
    unsigned char byte = static_cast<unsigned char>(text[i]);
    command[i] = static_cast<char>(i >= static_cast<size_t>(head) ? std::tolower(byte) : byte);
  }
  return 0;
}

// Puts the program's folder in front of PATH, so that the interpreter finds
// icmd.exe there first, as the Windows interpreter would.
void PutFolderFirstOnPath(const char* folder, size_t length) {
  const char* path = std::getenv("PATH");
  size_t size = length + 2 + (path != nullptr ? std::strlen(path) : 0);
  char* value = static_cast<char*>(std::malloc(size));
  if (value == nullptr) return;
  std::snprintf(value, size, "%.*s%s%s", static_cast<int>(length), folder,
                path != nullptr ? ":" : "", path != nullptr ? path : "");
  setenv("PATH", value, 1);
  std::free(value);
}

}  // namespace

int EnterProgramFolder() {
  char path[sizeof g_programFolder];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0 || length >= static_cast<ssize_t>(sizeof path - 1)) return -1;
  path[length] = '\0';
  char* slash = std::strrchr(path, '/');
  if (slash == nullptr) return -1;
  slash[1] = '\0';
  if (chdir(path) != 0) return -1;
  std::memcpy(g_programFolder, path, std::strlen(path) + 1);
  size_t folderLength = slash == path ? 1 : static_cast<size_t>(slash - path);
  PutFolderFirstOnPath(path, folderLength);
  return 0;
}

void RunInterpreter(const char* commandText) {
  char command[1024];
  // A command that does not fit is not run cut short.
  if (RewriteRedirection(commandText, command, sizeof command) != 0) return;
  std::fflush(stdout);
  int ignored = std::system(command);
  (void)ignored;
}

namespace {

void* ThreadEntry(void* start) {
  RunThreadStart(start);
  return nullptr;
}

}  // namespace

int StartDetachedThread(void (*body)()) {
  void* start = NewThreadStart(body);
  if (start == nullptr) return -1;
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  pthread_t thread;
  int failed = pthread_create(&thread, &attributes, ThreadEntry, start);
  pthread_attr_destroy(&attributes);
  if (failed != 0) std::free(start);
  return failed == 0 ? 0 : -1;
}

namespace {

// The program StartChild started, and the input file it holds for it.
pid_t g_child = -1;
int g_childInput = -1;

// Spawns argv with the given file actions, from the program's folder when
// the program is there (runnable or not, as the Windows search stops at the
// first file of the name), else along PATH. In a session of its own, so the
// terminal's interrupt, quit and hang-up never reach it, and with no signal
// blocked. The child's pid, or -1.
pid_t SpawnProgram(char** argv, const posix_spawn_file_actions_t* actions) {
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
  pid_t child = -1;
  char path[sizeof g_programFolder + 256];
  struct stat info;
  int failed = 0;
  if (std::strchr(argv[0], '/') == nullptr && g_programFolder[0] != '\0' &&
      std::snprintf(path, sizeof path, "%s%s", g_programFolder, argv[0]) <
          static_cast<int>(sizeof path) &&
      stat(path, &info) == 0) {
    failed = posix_spawn(&child, path, actions, &attributes, argv, environ);
  } else {
    failed = posix_spawnp(&child, argv[0], actions, &attributes, argv, environ);
  }
  posix_spawnattr_destroy(&attributes);
  return failed == 0 ? child : -1;
}

}  // namespace

int StartChild(char* commandLine, const char* inputName) {
  char arguments[2048];
  char* argv[64];
  if (SplitWindowsCommandLine(commandLine, arguments, sizeof arguments, argv, 64) < 1) return -1;
  char found[256];
  int input = open(FindFileName(inputName, found, sizeof found), O_RDONLY | O_CLOEXEC);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // Without its input file the program reads an empty input, as Windows
  // gives it none. A closed descriptor 0 would be taken by the next file it
  // opens (its image), which would then answer its prompts.
  if (input >= 0) {
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  }
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  // The lock is close-on-exec; onto itself, it stays open in this child only.
  int lock = static_cast<int>(HeldFolderLock());
  if (lock >= 0) posix_spawn_file_actions_adddup2(&actions, lock, lock);
  std::fflush(stdout);
  g_child = SpawnProgram(argv, &actions);
  posix_spawn_file_actions_destroy(&actions);
  if (g_child > 0) {
    g_childInput = input;
    return 0;
  }
  if (input >= 0) close(input);
  return -1;
}

void WaitForChild() {
  int status = 0;
  while (g_child > 0 && waitpid(g_child, &status, 0) < 0 && errno == EINTR) {
  }
  if (g_childInput >= 0) close(g_childInput);
  g_child = -1;
  g_childInput = -1;
}
