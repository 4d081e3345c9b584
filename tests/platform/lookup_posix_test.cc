// After EnterProgramFolder the interpreter and RunChildWithInput find a
// program in the program's folder first, even when PATH lacks that folder
// and holds another program of the same name.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "tests/platform/support.h"

namespace {

namespace fs = std::filesystem;

void RunThroughInterpreter() { RunInterpreter("fake_tool --touch ran.txt > nul"); }

void RunAsChild() {
  char commandLine[] = "fake_tool --touch ran.txt";
  EXPECT_EQ(RunChildWithInput(commandLine, "yes.txt"), 0);
}

struct LookupCase {
  const char* name;
  void (*run)();
};

const LookupCase kLookupCases[] = {
    {"interpreter", RunThroughInterpreter},
    {"child", RunAsChild},
};

// A program of the helper's name elsewhere on PATH, which must not be the one run.
std::string MakeImpostorFolder() {
  std::string folder = MakeFreshFolder("impostor");
  std::string script = folder + "/fake_tool";
  EXPECT_TRUE(WriteFileBytes(script, "#!/bin/sh\n: > impostor-ran.txt\n"));
  EXPECT_EQ(chmod(script.c_str(), 0755), 0);
  return folder;
}

TEST(ProgramFolderLookup, FindsTheProgramsFolderFirst) {
  for (const LookupCase& row : kLookupCases) {
    SCOPED_TRACE(row.name);
    std::error_code error;
    fs::path start = fs::current_path(error);
    const char* oldPath = getenv("PATH");
    std::string savedPath = oldPath != nullptr ? oldPath : "";
    std::string impostor = MakeImpostorFolder();
    std::string work = MakeFreshFolder("lookup");
    setenv("PATH", (impostor + ":/usr/bin:/bin").c_str(), 1);

    EXPECT_EQ(EnterProgramFolder(), 0);
    fs::current_path(work, error);
    EXPECT_TRUE(WriteFileBytes("yes.txt", "y\n"));
    row.run();
    bool ran = EntryExists("ran.txt");
    bool impostorRan = EntryExists("impostor-ran.txt");

    setenv("PATH", savedPath.c_str(), 1);
    fs::current_path(start, error);
    fs::remove_all(work, error);
    fs::remove_all(impostor, error);
    EXPECT_TRUE(ran) << "the program in the program's folder did not run";
    EXPECT_FALSE(impostorRan) << "the program along PATH ran instead";
  }
}

}  // namespace
