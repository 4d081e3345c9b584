// PauseForKey at the end of standard input returns, after our own text.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/support.h"

namespace {

using PauseTest = WorkFolderTest;

TEST_F(PauseTest, ReturnsAtEndOfInput) {
  ASSERT_TRUE(WriteFileBytes("empty.txt", ""));
  ASSERT_TRUE(RunScenarioProcess("pause", "", "empty.txt")) << "the pause did not return";

  std::string out = WithoutCarriageReturns(ReadFileBytes("out.txt"));
  EXPECT_EQ(out.rfind("before-pause\n", 0), 0u) << out;
  std::string end = "after-pause rest=[]\n";
  ASSERT_GE(out.size(), end.size()) << out;
  EXPECT_EQ(out.substr(out.size() - end.size()), end) << out;
}

}  // namespace
