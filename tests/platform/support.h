// Helpers shared by the platform tests: folders and files of their own,
// bounded runs, and runs of this test program as a sub-process.
#ifndef BMCUPDATE_TESTS_PLATFORM_SUPPORT_H_
#define BMCUPDATE_TESTS_PLATFORM_SUPPORT_H_

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// The absolute path of this test program, set by main before any chdir.
extern std::string g_selfPath;

// The whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& name);

// Writes `bytes` as the whole file; false when that failed.
bool WriteFileBytes(const std::string& name, const std::string& bytes);

// The names in the working directory, the helper program's copy left out.
std::vector<std::string> WorkEntries();

// The text with every CR removed (Windows streams write LF as CR LF).
std::string WithoutCarriageReturns(std::string text);

// Runs `body` on a thread of its own and waits at most `seconds` for it.
// False when it has not finished; it is then left running.
bool FinishesWithin(const std::function<void()>& body, int seconds);

// Runs "SELF --platform-child SCENARIO ARGUMENT" through the interpreter in
// the working directory, standard input from `inputFile`, output and error
// into out.txt and err.txt. False when it has not ended in time.
bool RunScenarioProcess(const std::string& scenario, const std::string& argument,
                        const std::string& inputFile);

// Each test enters the program's folder (as the tool does at its start), then
// moves to a fresh folder holding a copy of the helper program, where the
// Windows interpreter finds it without a path.
class WorkFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Removes everything but the helper's copy, for the next row of a table.
  static void ClearWorkFolder();

  std::string startFolder_, workFolder_;
};

#endif  // BMCUPDATE_TESTS_PLATFORM_SUPPORT_H_
