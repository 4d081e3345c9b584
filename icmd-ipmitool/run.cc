// Spawning ipmitool directly (the password is in the environment, never on a
// command line an interpreter reads) and reading its output within a bound.
#include "icmd-ipmitool/run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Milliseconds on a clock that never jumps.
long long NowMs() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Milliseconds until the deadline, 0 once it has passed.
int MsLeft(long long deadline) {
  long long left = deadline - NowMs();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Starts the program with stdin from the null device and stdout into
// `pipeWrite`. The child's pid, or -1.
pid_t Spawn(const char* const* argv, int pipeWrite) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeWrite, STDOUT_FILENO);
  pid_t child = -1;
  // posix_spawnp does not change the strings; its prototype predates const.
  int failed =
      posix_spawnp(&child, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed == 0 ? child : -1;
}

// Reads the pipe until its end or the deadline. 0 at the end, -1 at the
// deadline or on a read error.
int Collect(int pipeRead, long long deadline, char* output, int size, RunResult* result) {
  char spill[512];
  for (;;) {
    struct pollfd wait = {pipeRead, POLLIN, 0};
    int ready = poll(&wait, 1, MsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return -1;
    bool room = result->length < size;
    ssize_t got =
        room ? read(pipeRead, output + result->length, static_cast<size_t>(size - result->length))
             : read(pipeRead, spill, sizeof spill);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) return 0;
    if (room) {
      result->length += static_cast<int>(got);
    } else {
      result->truncated = 1;
    }
  }
}

// Waits for the child until the deadline; kills it then. The RunOutcome.
int Reap(pid_t child, long long deadline, bool killNow, RunResult* result) {
  int status = 0;
  for (;;) {
    pid_t done = waitpid(child, &status, killNow ? 0 : WNOHANG);
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) return kRunKilled;
    if (done == child) break;
    if (MsLeft(deadline) == 0) {
      kill(child, SIGKILL);
      killNow = true;
      continue;
    }
    struct timespec pause = {0, 10 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  if (killNow) return kRunTimedOut;
  if (!WIFEXITED(status)) return kRunKilled;
  result->exitCode = WEXITSTATUS(status);
  return kRunExited;
}

}  // namespace

int RunCaptured(const char* const* argv, int timeoutMs, char* output, int size, RunResult* result) {
  result->outcome = kRunNotStarted;
  result->exitCode = -1;
  result->length = 0;
  result->truncated = 0;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return result->outcome;
  long long deadline = NowMs() + timeoutMs;
  pid_t child = Spawn(argv, ends[1]);
  close(ends[1]);
  if (child > 0) {
    bool ended = Collect(ends[0], deadline, output, size, result) == 0;
    if (!ended) kill(child, SIGKILL);
    result->outcome = Reap(child, deadline, !ended, result);
  }
  close(ends[0]);
  return result->outcome;
}
