// What the flash worker needs: a thread that nothing waits for, and
// RunChildWithInput, whose child reads the input file's bytes as its
// standard input and gets the command line split as the Windows runtime
// splits it, whose own output goes nowhere, and which is waited for.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "tests/platform/support.h"

namespace {

using ChildTest = WorkFolderTest;

// The command line in a buffer the call may modify.
int RunChild(const std::string& commandLine, const char* inputName) {
  std::string buffer = commandLine;
  return RunChildWithInput(buffer.data(), inputName);
}

TEST_F(ChildTest, ReadsTheFileGetsTheFlashLineAndIsAwaited) {
  // CR LF, an end-of-text byte, a NUL and a high byte: none may be translated.
  const char kOdd[] = "y\r\ny\n\x1a after end-of-text\0 and NUL \xff\r";
  std::string many;
  for (int i = 0; i < 100000; ++i) many += static_cast<char>(i * 7 % 256);
  const struct {
    const char* onDisk;  // the input file's name in the folder; the call names yes.txt
    std::string bytes;
  } kCases[] = {
      {"yes.txt", std::string(kOdd, sizeof kOdd - 1)},
      {"yes.txt", ""},
      {"yes.txt", many},
      {"YES.TXT", "y\n"},
  };
  for (const auto& row : kCases) {
    SCOPED_TRACE(std::string(row.onDisk) + ", " + std::to_string(row.bytes.size()) + " bytes");
    ClearWorkFolder();
    ASSERT_TRUE(WriteFileBytes(row.onDisk, row.bytes));
    // The last step, 200 ms on, must be done when the call returns.
    EXPECT_EQ(RunChild("fake_tool --copy-stdin copy.txt --args args.txt --sleep-ms 200 --touch "
                       "done.txt -force-boot -nw -ip 1.2.3.4 -u \"\" -p \"TOLVE qs Family\" fw.bin",
                       "yes.txt"),
              0);
    std::string copy = ReadFileBytes("copy.txt");
    EXPECT_TRUE(copy == row.bytes) << "the child read " << copy.size() << " bytes";
    EXPECT_EQ(ReadFileBytes("args.txt"),
              "--copy-stdin\ncopy.txt\n--args\nargs.txt\n--sleep-ms\n200\n--touch\ndone.txt\n"
              "-force-boot\n-nw\n-ip\n1.2.3.4\n-u\n\n-p\nTOLVE qs Family\nfw.bin\n");
    EXPECT_TRUE(std::filesystem::exists("done.txt"));
  }
}

// In a sub-process whose own standard streams are files: the child's output
// reaches neither of ours, and without its input file the child still runs
// but does not read our standard input.
TEST_F(ChildTest, NeverSharesOurStandardStreams) {
  for (bool withInput : {true, false}) {
    SCOPED_TRACE(withInput ? "with yes.txt" : "without yes.txt");
    ClearWorkFolder();
    if (withInput) {
      ASSERT_TRUE(WriteFileBytes("yes.txt", "y\r\ny\r\n"));
    }
    ASSERT_TRUE(WriteFileBytes("our-input.txt", "OUR-STANDARD-INPUT\n"));
    ASSERT_TRUE(RunScenarioProcess("run-child", "yes.txt", "our-input.txt"));
    EXPECT_EQ(WithoutCarriageReturns(ReadFileBytes("out.txt")), "before-child\nreturned 0\n");
    EXPECT_EQ(ReadFileBytes("err.txt").find("CHILD-"), std::string::npos);
    ASSERT_TRUE(std::filesystem::exists("copy.txt")) << "the child did not run";
    EXPECT_EQ(ReadFileBytes("copy.txt"), withInput ? "y\r\ny\r\n" : "");
  }
}

std::atomic<bool> g_release{false}, g_finished{false};

TEST(StartDetachedThread, RunsTheBodyWithoutWaitingForIt) {
  // The body waits for the release, 10 s at most: a start that waits for it
  // fails rather than hangs.
  ASSERT_EQ(StartDetachedThread([] {
              for (int ms = 0; ms < 10000 && !g_release; ++ms)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
              g_finished = true;
            }),
            0);
  EXPECT_FALSE(g_finished) << "the start waited for the body";
  g_release = true;
  for (int ms = 0; ms < 10000 && !g_finished; ++ms)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(g_finished);
}

}  // namespace
