// PauseForKey without a terminal: a key is one line, the end of input ends
// the wait, and the prompt stands between our text and what follows.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/support.h"

namespace {

using PausePosixTest = WorkFolderTest;

struct PauseCase {
  const char* input;
  const char* rest;  // what standard input holds after the pause
};

const PauseCase kPauseCases[] = {
    {"\n", ""},
    {"key\n", ""},
    {"key\nnext line\n", "next line\n"},
    {"\nnext line\n", "next line\n"},
    {"key without line feed", ""},
};

TEST_F(PausePosixTest, TakesOneLineAsTheKey) {
  for (const PauseCase& row : kPauseCases) {
    SCOPED_TRACE(row.input);
    ClearWorkFolder();
    ASSERT_TRUE(WriteFileBytes("input.txt", row.input));
    ASSERT_TRUE(RunScenarioProcess("pause", "", "input.txt")) << "the pause did not return";

    EXPECT_EQ(ReadFileBytes("out.txt"),
              std::string("before-pause\nPAUSE-PROMPT\nafter-pause rest=[") + row.rest + "]\n");
  }
}

}  // namespace
