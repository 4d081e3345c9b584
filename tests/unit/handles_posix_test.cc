// A text file read and closed leaves no descriptor open: the flash program
// and every command would inherit it.
#include <gtest/gtest.h>
#include <unistd.h>

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
