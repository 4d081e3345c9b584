// After EnterProgramFolder the interpreter and RunChildWithInput find a
// program in the program's folder first, even when PATH lacks that folder
// and holds another program of the same name.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "tests/platform/support.h"

namespace {

namespace fs = std::filesystem;

using ProgramFolderLookup = WorkFolderTest;

TEST_F(ProgramFolderLookup, FindsTheProgramsFolderFirst) {
  // A program of the helper's name elsewhere on PATH, which must not run.
  fs::create_directory("impostor");
  ASSERT_TRUE(WriteFileBytes("impostor/fake_tool", "#!/bin/sh\n: > impostor-ran.txt\n"));
  ASSERT_EQ(chmod("impostor/fake_tool", 0755), 0);
  std::string savedPath = getenv("PATH") != nullptr ? getenv("PATH") : "";
  setenv("PATH", (workFolder_ + "/impostor:/usr/bin:/bin").c_str(), 1);
  EXPECT_EQ(EnterProgramFolder(), 0);
  fs::current_path(workFolder_);
  RunInterpreter("fake_tool --touch interpreted.txt > nul");
  char commandLine[] = "fake_tool --touch child.txt";
  EXPECT_EQ(RunChildWithInput(commandLine, "yes.txt"), 0);
  setenv("PATH", savedPath.c_str(), 1);
  EXPECT_TRUE(fs::exists("interpreted.txt")) << "the interpreter did not run the program";
  EXPECT_TRUE(fs::exists("child.txt")) << "the child was not the program";
  EXPECT_FALSE(fs::exists("impostor-ran.txt")) << "the program along PATH ran instead";
}

}  // namespace
