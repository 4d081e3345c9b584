// Running a program with its standard output captured and a time limit.
#ifndef BMCUPDATE_ICMD_IPMITOOL_RUN_H_
#define BMCUPDATE_ICMD_IPMITOOL_RUN_H_

// How a captured run ended.
enum RunOutcome {
  kRunExited = 0,       // the program ended by itself; exitCode holds its status
  kRunNotStarted = -1,  // the program could not be started
  kRunTimedOut = -2,    // still running at the time limit, and killed
  kRunKilled = -3,      // ended by a signal it did not ask for
};

// What a captured run left.
struct RunResult {
  int outcome;    // a RunOutcome
  int exitCode;   // the exit status when outcome is kRunExited
  int length;     // bytes of standard output stored
  int truncated;  // 1 when it printed more than the buffer holds
};

// Starts argv[0], looked for along PATH, with the arguments given (no
// interpreter in between), standard input from the null device, standard
// error shared with ours and standard output collected into `output` (at
// most `size` bytes; the rest is read and dropped). Kills it once
// `timeoutMs` milliseconds have passed. Returns result->outcome.
int RunCaptured(const char* const* argv, int timeoutMs, char* output, int size, RunResult* result);

#endif  // BMCUPDATE_ICMD_IPMITOOL_RUN_H_
