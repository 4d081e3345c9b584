// EnterProgramFolder makes the folder that holds the program the working
// directory, wherever the program was started from.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "tests/platform/support.h"

namespace {

namespace fs = std::filesystem;

TEST(EnterProgramFolder, MakesTheProgramsFolderTheWorkingDirectory) {
  std::error_code error;
  fs::path start = fs::current_path(error);
  std::string elsewhere = MakeFreshFolder("elsewhere");
  ASSERT_FALSE(elsewhere.empty());
  fs::current_path(elsewhere, error);
  ASSERT_FALSE(error);

  int result = EnterProgramFolder();
  fs::path entered = fs::current_path(error);
  fs::current_path(start, error);
  fs::remove_all(elsewhere, error);

  EXPECT_EQ(result, 0);
  EXPECT_TRUE(fs::equivalent(entered, fs::path(SelfPath()).parent_path(), error)) << entered;
}

}  // namespace
