// RunCaptured: a program run without an interpreter of ours, its output
// collected within bounds, and stopped when it outlives its time limit.
#include "icmd/run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Captured {
  RunResult result;
  std::string output;
};

// Runs "sh -c SCRIPT" with an output buffer of `size` bytes.
Captured RunScript(const char* script, int timeoutMs, int size = 4096) {
  const char* argv[] = {"sh", "-c", script, nullptr};
  std::vector<char> buffer(static_cast<size_t>(size));
  Captured run;
  RunCaptured(argv, timeoutMs, buffer.data(), size, &run.result);
  run.output.assign(buffer.data(), static_cast<size_t>(run.result.length));
  return run;
}

TEST(RunCaptured, ReportsHowTheProgramEnded) {
  const struct {
    const char* name;
    const char* script;
    int outcome;
    int exitCode;
    std::string output;
  } kCases[] = {
      {"answer", "printf ' 20 10\\n'", kRunExited, 0, " 20 10\n"},
      {"failure", "echo oops >&2; exit 1", kRunExited, 1, ""},
      {"status kept", "printf x; exit 3", kRunExited, 3, "x"},
      // Standard input is the null device, never the operator's console.
      {"input empty", "cat; echo end", kRunExited, 0, "end\n"},
      // exec: no grandchild is left behind holding the test's streams.
      {"hangs", "exec sleep 30", kRunTimedOut, -1, ""},
      {"hangs after printing", "printf partial; exec sleep 30", kRunTimedOut, -1, "partial"},
      // The output's end is not the program's end.
      {"closes its output and hangs", "exec >&-; exec sleep 30", kRunTimedOut, -1, ""},
      {"killed", "kill -9 $$", kRunKilled, -1, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    Captured run = RunScript(c.script, 300);
    EXPECT_EQ(c.outcome, run.result.outcome);
    EXPECT_EQ(c.exitCode, run.result.exitCode);
    EXPECT_EQ(c.output, run.output);
    EXPECT_EQ(0, run.result.truncated);
  }
}

TEST(RunCaptured, StoresNoMoreThanItsBuffer) {
  Captured run = RunScript("printf 0123456789; printf more", 5000, 10);
  EXPECT_EQ(kRunExited, run.result.outcome);
  EXPECT_EQ("0123456789", run.output);
  EXPECT_EQ(1, run.result.truncated);
  // Much more than the buffer is read and dropped, so the program ends.
  run = RunScript("head -c 1000000 /dev/zero", 5000, 10);
  EXPECT_EQ(kRunExited, run.result.outcome);
  EXPECT_EQ(0, run.result.exitCode);
  EXPECT_EQ(10, run.result.length);
  EXPECT_EQ(1, run.result.truncated);
}

TEST(RunCaptured, PassesArgumentsWithoutAnInterpreter) {
  // Quotes, blanks and shell characters arrive as they are.
  const char* argv[] = {"printf", "[%s]", "a b", "\"q\"", "$HOME;`x`", "", nullptr};
  char buffer[256];
  RunResult result;
  EXPECT_EQ(kRunExited, RunCaptured(argv, 5000, buffer, sizeof buffer, &result));
  EXPECT_EQ("[a b][\"q\"][$HOME;`x`][]", std::string(buffer, static_cast<size_t>(result.length)));
}

TEST(RunCaptured, ReportsAProgramThatCannotStart) {
  const char* argv[] = {"no-such-program-for-icmd-tests", nullptr};
  char buffer[16];
  RunResult result;
  EXPECT_EQ(kRunNotStarted, RunCaptured(argv, 5000, buffer, sizeof buffer, &result));
  EXPECT_EQ(0, result.length);
}

}  // namespace
