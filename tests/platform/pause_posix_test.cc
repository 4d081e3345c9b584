// PauseForKey without a terminal: a key is one line, and the prompt stands
// between our text and what follows.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/support.h"

namespace {

using PausePosixTest = WorkFolderTest;

TEST_F(PausePosixTest, TakesOneLineAsTheKey) {
  const struct {
    const char* input;
    const char* rest;  // what standard input holds after the pause
  } kCases[] = {{"key\nnext line\n", "next line\n"},
                {"\nnext line\n", "next line\n"},
                {"key without line feed", ""}};
  for (const auto& row : kCases) {
    SCOPED_TRACE(row.input);
    ASSERT_TRUE(WriteFileBytes("input.txt", row.input));
    ASSERT_TRUE(RunScenarioProcess("console", "", "input.txt")) << "the pause did not return";
    EXPECT_EQ(
        ReadFileBytes("out.txt"),
        std::string(
            "before-command\nDURING-COMMAND\nafter-command\nPAUSE-PROMPT\nafter-pause rest=[") +
            row.rest + "]\n");
  }
}

}  // namespace
