// RunChildWithInput as the flash worker uses it: the child reads the input
// file's bytes as its standard input, its own output goes nowhere, and the
// call waits for it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/platform/support.h"

namespace {

using ChildTest = WorkFolderTest;

// The command line in a buffer the call may modify.
int RunChild(const std::string& commandLine, const char* inputName) {
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  return RunChildWithInput(buffer.data(), inputName);
}

std::string ManyBytes() {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += static_cast<char>(i * 7 % 256);
  return bytes;
}

// CR LF, an end-of-text byte, a NUL and a high byte: none may be translated.
const char kOddBytes[] = "y\r\ny\n\x1a after end-of-text\0 and NUL \xff\r";

struct InputCase {
  const char* onDisk;  // the input file's name in the folder
  const char* asked;   // the name passed to the call
  std::string bytes;
};

TEST_F(ChildTest, StandardInputIsTheFilesBytesExactly) {
  const InputCase cases[] = {
      {"yes.txt", "yes.txt", std::string(kOddBytes, sizeof kOddBytes - 1)},
      {"yes.txt", "yes.txt", ""},
      {"yes.txt", "yes.txt", ManyBytes()},
      {"YES.TXT", "yes.txt", "y\n"},
  };
  for (const InputCase& row : cases) {
    SCOPED_TRACE(std::string(row.onDisk) + ", " + std::to_string(row.bytes.size()) + " bytes");
    ClearWorkFolder();
    ASSERT_TRUE(WriteFileBytes(row.onDisk, row.bytes));

    EXPECT_EQ(RunChild("fake_tool --copy-stdin copy.txt", row.asked), 0);
    ASSERT_TRUE(EntryExists("copy.txt"));
    std::string copy = ReadFileBytes("copy.txt");
    EXPECT_TRUE(copy == row.bytes) << "the child read " << copy.size() << " bytes";
  }
}

// The flash command line reaches the program as the Windows runtime splits it.
TEST_F(ChildTest, ArgumentsAreSplitAsTheWindowsRuntimeSplitsThem) {
  ASSERT_TRUE(WriteFileBytes("yes.txt", "y\n"));
  EXPECT_EQ(RunChild("fake_tool --args args.txt -force-boot -preserve-config -nw -ip 1.2.3.4 "
                     "-u \"\" -p \"TOLVE qs Family\" fw.bin",
                     "yes.txt"),
            0);
  EXPECT_EQ(ReadFileBytes("args.txt"),
            "--args\nargs.txt\n-force-boot\n-preserve-config\n-nw\n-ip\n1.2.3.4\n"
            "-u\n\n-p\nTOLVE qs Family\nfw.bin\n");
}

// What the child leaves behind after a delay is there when the call returns.
TEST_F(ChildTest, WaitsForTheChildToEnd) {
  ASSERT_TRUE(WriteFileBytes("yes.txt", "y\n"));
  EXPECT_EQ(RunChild("fake_tool --sleep-ms 300 --touch done.txt", "yes.txt"), 0);
  EXPECT_TRUE(EntryExists("done.txt"));
}

TEST_F(ChildTest, MissingProgramFailsWithoutWaiting) {
  for (bool inputPresent : {true, false}) {
    SCOPED_TRACE(inputPresent ? "input present" : "input missing");
    ClearWorkFolder();
    if (inputPresent) {
      ASSERT_TRUE(WriteFileBytes("yes.txt", "y\n"));
    }
    auto result = std::make_shared<int>(1);
    ASSERT_TRUE(FinishesWithin(
        [result] { *result = RunChild("no_such_program_4d7f -nw fw.bin", "yes.txt"); }, 30));
    EXPECT_EQ(*result, -1);
  }
}

// Run in a sub-process whose own standard output and error are files.
TEST_F(ChildTest, ChildOutputNeverReachesOurOutput) {
  ASSERT_TRUE(WriteFileBytes("yes.txt", "y\r\ny\r\n"));
  ASSERT_TRUE(WriteFileBytes("empty.txt", ""));
  ASSERT_TRUE(RunScenarioProcess("run-child", "yes.txt", "empty.txt"));

  EXPECT_EQ(WithoutCarriageReturns(ReadFileBytes("out.txt")), "before-child\nreturned 0\n");
  EXPECT_EQ(ReadFileBytes("err.txt").find("CHILD-"), std::string::npos);
  EXPECT_TRUE(EntryExists("started.txt"));
  EXPECT_EQ(ReadFileBytes("copy.txt"), "y\r\ny\r\n");
}

// Without its input file the child still runs, and it does not read ours.
TEST_F(ChildTest, MissingInputFileStillStartsTheChild) {
  ASSERT_TRUE(WriteFileBytes("our-input.txt", "OUR-STANDARD-INPUT\n"));
  ASSERT_TRUE(RunScenarioProcess("run-child", "yes.txt", "our-input.txt"));

  EXPECT_EQ(WithoutCarriageReturns(ReadFileBytes("out.txt")), "before-child\nreturned 0\n");
  EXPECT_TRUE(EntryExists("started.txt"));
  ASSERT_TRUE(EntryExists("copy.txt"));
  EXPECT_EQ(ReadFileBytes("copy.txt"), "");
}

}  // namespace
