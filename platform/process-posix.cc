// Programs on POSIX: the tool's folder, the command interpreter, threads and
// the flash program. The command texts are written for the Windows
// interpreter; the features they rely on (the null device "nul", file names
// that ignore case, the program's folder searched first) mean the same here.
#include <fcntl.h>
#include <pthread.h>
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

int RealEnterProgramFolder() {
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

namespace {

const int kInterruptSignals[] = {SIGINT, SIGQUIT, SIGHUP, SIGTERM};

// In a child between fork and exec: the interrupts ignored in the update
// span (an ignored signal stays so across exec), the tool's own handlers
// undone otherwise, and no signal blocked. Only what is safe after fork.
void SetChildSignals(bool ignore) {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  sigemptyset(&action.sa_mask);
  for (int signalNumber : kInterruptSignals) {
    struct sigaction found;
    sigaction(signalNumber, nullptr, &found);
    action.sa_handler = ignore || found.sa_handler == SIG_IGN ? SIG_IGN : SIG_DFL;
    sigaction(signalNumber, &action, nullptr);
  }
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
}

// How a program is started: its file and arguments, the descriptors for its
// standard input and for its output and error (-1: the tool's own).
struct Spawn {
  const char* path;
  char* const* argv;
  int input, output;
  bool flash;  // a session of its own, out of the terminal's reach, and the handles handed on
};

// The child's side of SpawnProgram; `report` gets errno when exec fails.
[[noreturn]] void BecomeProgram(const Spawn& spawn, int report) {
  SetChildSignals(InUpdateSpan() != 0);
  if (spawn.flash) setsid();
  if (spawn.input >= 0) dup2(spawn.input, STDIN_FILENO);
  if (spawn.output >= 0) {
    dup2(spawn.output, STDOUT_FILENO);
    dup2(spawn.output, STDERR_FILENO);
  }
  // Close-on-exec everywhere else: these stay open in this child only.
  for (int i = 0; i < HandedOnCount() && spawn.flash; ++i) {
    fcntl(static_cast<int>(HandedOn(i)), F_SETFD, 0);
  }
  execv(spawn.path, spawn.argv);
  int error = errno;
  ssize_t ignored = write(report, &error, sizeof error);
  (void)ignored;
  _exit(127);
}

// Starts the program. The interrupts wait while it forks, so that none runs
// the tool's handler in the child. Its pid, or -1 when it could not be
// started, exec included.
pid_t SpawnProgram(const Spawn& spawn) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return -1;
  sigset_t interrupts, before;
  sigemptyset(&interrupts);
  for (int signalNumber : kInterruptSignals) sigaddset(&interrupts, signalNumber);
  pthread_sigmask(SIG_BLOCK, &interrupts, &before);
  pid_t child = fork();
  if (child == 0) BecomeProgram(spawn, report[1]);
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  close(report[1]);
  int error = 0;
  ssize_t got = child > 0 ? read(report[0], &error, sizeof error) : -1;
  close(report[0]);
  if (child > 0 && got == static_cast<ssize_t>(sizeof error)) {
    waitpid(child, nullptr, 0);
    return -1;
  }
  return child;
}

// The wait status of `child` once it has ended.
int WaitForEnd(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

}  // namespace

InterpreterRun RealRunInterpreter(const char* commandText) {
  char command[1024];
  // A command that does not fit is not run cut short.
  if (RewriteRedirection(commandText, command, sizeof command) != 0) return kRunEnded;
  std::fflush(stdout);
  char shell[] = "sh", option[] = "-c";
  char* argv[] = {shell, option, command, nullptr};
  pid_t child = SpawnProgram({"/bin/sh", argv, -1, -1, false});
  if (child < 0) return kRunEnded;
  int status = WaitForEnd(child);
  int signalNumber = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  if (signalNumber != SIGINT && signalNumber != SIGQUIT) return kRunEnded;
  if (InUpdateSpan() == 0) EndLikeChild(signalNumber);
  return kRunInterrupted;
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

// The program StartChild started.
pid_t g_child = -1;

// The first runnable file `name` along PATH, as the shell looks (an empty
// entry is the working directory), into `path`. false when there is none.
bool FindOnPath(const char* name, char* path, size_t size) {
  const char* folders = std::getenv("PATH");
  for (const char* at = folders; at != nullptr && *at != '\0';) {
    size_t length = std::strcspn(at, ":");
    int n = std::snprintf(path, size, "%.*s%s%s", static_cast<int>(length), at,
                          length > 0 ? "/" : "", name);
    struct stat info;
    if (n < static_cast<int>(size) && stat(path, &info) == 0 && S_ISREG(info.st_mode) &&
        access(path, X_OK) == 0) {
      return true;
    }
    at += length + (at[length] == ':' ? 1 : 0);
  }
  return false;
}

// The file to run for `name`: in the program's folder when it is there
// (runnable or not, as the Windows search stops at the first file of the
// name), else the first runnable one along PATH. false when there is none.
bool FindProgram(const char* name, char* path, size_t size) {
  struct stat info;
  if (std::strchr(name, '/') != nullptr) {
    return std::snprintf(path, size, "%s", name) < static_cast<int>(size);
  }
  if (g_programFolder[0] != '\0' &&
      std::snprintf(path, size, "%s%s", g_programFolder, name) < static_cast<int>(size) &&
      stat(path, &info) == 0) {
    return true;
  }
  return FindOnPath(name, path, size);
}

}  // namespace

int RealInterpreterFinds(const char* name) {
  char path[4096 + 256];
  return FindOnPath(name, path, sizeof path) ? 1 : 0;
}

int RealFlashStartFinds(const char* name) {
  char path[sizeof g_programFolder + 256];
  return FindProgram(name, path, sizeof path) ? 1 : 0;
}

int RealStartChild(char* commandLine, const char* inputName) {
  char arguments[2048], path[sizeof g_programFolder + 256], found[256];
  char* argv[64];
  if (SplitWindowsCommandLine(commandLine, arguments, sizeof arguments, argv, 64) < 1 ||
      !FindProgram(argv[0], path, sizeof path)) {
    return -1;
  }
  // Without its input file the program reads an empty input, as Windows
  // gives it none. A closed descriptor 0 would be taken by the next file it
  // opens (its image), which would then answer its prompts.
  int input = open(FindFileName(inputName, found, sizeof found), O_RDONLY | O_CLOEXEC);
  if (input < 0) input = open("/dev/null", O_RDONLY | O_CLOEXEC);
  int output = open("/dev/null", O_WRONLY | O_CLOEXEC);
  std::fflush(stdout);
  g_child = SpawnProgram({path, argv, input, output, true});
  if (input >= 0) close(input);
  if (output >= 0) close(output);
  return g_child > 0 ? 0 : -1;
}

void RealWaitForChild() {
  if (g_child > 0) (void)WaitForEnd(g_child);
  g_child = -1;
}
