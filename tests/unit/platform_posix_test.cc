// The real POSIX platform where a run cannot show it: a text file read and
// closed leaves no descriptor open (the flash program and every command
// would inherit it), and the flash worker waits for the program it started.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "platform/platform.h"

TEST(TextInput, CloseReleasesTheDescriptor) {
  int before = dup(0);
  close(before);
  TextInput input;
  char line[8];
  ASSERT_EQ(0, OpenTextInput("ctesttestfile.CMAKE", &input));  // matched without regard to case
  EXPECT_GT(ReadTextLine(&input, line, sizeof line), 0);
  CloseTextInput(&input);
  int after = dup(0);
  close(after);
  EXPECT_EQ(before, after);
}

TEST(Child, WaitsForTheProgram) {
  std::remove("done.txt");
  char command[] = "sh -c \"sleep 0.3; echo > done.txt\"";
  ASSERT_EQ(0, RunChildWithInput(command, "CTestTestfile.cmake"));
  EXPECT_EQ(0, access("done.txt", F_OK));
}
