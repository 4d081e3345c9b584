// RunCaptured: a program run without an interpreter of ours, its output
// collected within bounds, and stopped when it outlives its time limit.
#include "icmd/run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST(RunCaptured, ReportsHowTheProgramEnded) {
  const struct {
    std::vector<const char*> argv;  // "sh -c" is put before a single word
    int outcome, exitCode;
    std::string output;  // what the 32-byte buffer holds
    int truncated;
  } kCases[] = {
      // clang-format off
      {{"printf ' 20 10\\n'"}, kRunExited, 0, " 20 10\n", 0},
      {{"echo oops >&2; exit 3"}, kRunExited, 3, "", 0},
      // Standard input is the null device, never ours (which holds a line here).
      {{"cat; echo end"}, kRunExited, 0, "end\n", 0},
      // Quotes, blanks and shell characters arrive as they are.
      {{"printf", "[%s]", "a b", "\"q\"", "$H;`x`", ""}, kRunExited, 0, "[a b][\"q\"][$H;`x`][]", 0},
      // Far more than the buffer is read and dropped, so the program ends.
      {{"yes 0123456789abcdef | head -c 1000000"}, kRunExited, 0, "0123456789abcdef\n0123456789abcde", 1},
      {{"no-such-program-for-icmd-tests", "x"}, kRunNotStarted, -1, "", 0},
      // Stopped at the limit, before its next step (no grandchild holds the test's streams).
      {{"printf partial; sleep 2 2>/dev/null; touch late.txt; exec sleep 3"}, kRunTimedOut, -1, "partial", 0},
      // The output's end is not the program's end.
      {{"exec >&-; exec sleep 30"}, kRunTimedOut, -1, "", 0},
      {{"kill -9 $$"}, kRunKilled, -1, "", 0},
      // clang-format on
  };
  // Our own standard input holds a line that the program must not see.
  int saved = dup(STDIN_FILENO), pipes[2];
  ASSERT_EQ(pipe(pipes), 0);
  ASSERT_EQ(write(pipes[1], "OUR INPUT\n", 10), 10);
  close(pipes[1]);
  dup2(pipes[0], STDIN_FILENO);
  std::remove("late.txt");
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.argv.back());
    std::vector<const char*> argv = c.argv;
    if (argv.size() == 1) argv.insert(argv.begin(), {"sh", "-c"});
    argv.push_back(nullptr);
    char buffer[32];
    RunResult result;
    int limitMs = c.outcome == kRunTimedOut ? 300 : 5000;
    EXPECT_EQ(RunCaptured(argv.data(), limitMs, buffer, sizeof buffer, &result), c.outcome);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(result.length)), c.output);
    EXPECT_EQ(result.truncated, c.truncated);
  }
  EXPECT_NE(std::remove("late.txt"), 0) << "a program went on past its time limit";
  dup2(saved, STDIN_FILENO);
  close(saved);
  close(pipes[0]);
}

}  // namespace
