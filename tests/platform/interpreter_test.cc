// RunInterpreter with what the command texts rely on: "> file" of standard
// output only, the null device "nul", and one file behind "Version.txt" and
// "version.txt"; and PauseForKey at the end of standard input.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "tests/platform/support.h"

namespace {

using InterpreterTest = WorkFolderTest;

TEST_F(InterpreterTest, CaptureIsReadAndDeletedUnderTheToolsName) {
  const struct {
    const char* redirectTo;  // the name in the command's redirection
    const char* stale;       // a capture left from an earlier run, or null
    const char* readAs;      // the name the tool opens and deletes
  } kCases[] = {{"Version.txt", nullptr, "version.txt"},
                {"Version.txt", "Version.txt", "version.txt"},
                {"Version.txt", "version.txt", "version.txt"},
                {"fru.txt", nullptr, "fru.txt"}};
  for (const auto& row : kCases) {
    SCOPED_TRACE(std::string("> ") + row.redirectTo + " over " + (row.stale ? row.stale : "none"));
    ClearWorkFolder();
    if (row.stale != nullptr) {
      ASSERT_TRUE(WriteFileBytes(row.stale, "STALE-CAPTURE\n"));
    }
    RunInterpreter((std::string("fake_tool --out FRESH-CAPTURE > ") + row.redirectTo).c_str());
    TextInput input;
    ASSERT_EQ(OpenTextInput(row.readAs, &input), 0);
    char line[260];
    ReadTextLine(&input, line, sizeof line);
    CloseTextInput(&input);
    EXPECT_STREQ(line, "FRESH-CAPTURE\n");
    EXPECT_EQ(DeleteNamedFile(row.readAs), 0);
    for (const std::string& name : WorkEntries())
      EXPECT_EQ(ReadFileBytes(name).find("FRESH"), std::string::npos) << name << " was read";
  }
}

TEST_F(InterpreterTest, NulIsTheNullDeviceInAnyCase) {
  for (const char* nul : {"nul", "NUL", "Nul"}) {
    SCOPED_TRACE(nul);
    ClearWorkFolder();
    RunInterpreter((std::string("fake_tool --out DISCARDED --touch ran.txt > ") + nul).c_str());
    EXPECT_EQ(WorkEntries(), std::vector<std::string>{"ran.txt"}) << "no run, or a file nul";
  }
}

// In a sub-process whose own standard streams are files, with no input: the
// pause returns at its end.
TEST_F(InterpreterTest, ConsoleKeepsOrderCapturesStandardOutputOnlyAndPauses) {
  ASSERT_TRUE(WriteFileBytes("empty.txt", ""));
  ASSERT_TRUE(RunScenarioProcess("console", "", "empty.txt")) << "the pause did not return";
  std::string out = WithoutCarriageReturns(ReadFileBytes("out.txt")), end = "after-pause rest=[]\n";
  EXPECT_EQ(out.rfind("before-command\nDURING-COMMAND\nafter-command\n", 0), 0u) << out;
  EXPECT_EQ(out.find(end), out.size() - end.size()) << out;
  EXPECT_EQ(WithoutCarriageReturns(ReadFileBytes("version.txt")), "CAPTURED-OUT\n");
  std::string err = ReadFileBytes("err.txt");
  EXPECT_NE(err.find("CONSOLE-ERR"), std::string::npos) << err;
  EXPECT_NE(err.find("DISCARD-ERR"), std::string::npos) << err;
}

}  // namespace
