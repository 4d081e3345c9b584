// Helpers shared by the platform tests: folders and files of their own,
// bounded runs, and runs of this test program as a sub-process.
#ifndef BMCUPDATE_TESTS_PLATFORM_SUPPORT_H_
#define BMCUPDATE_TESTS_PLATFORM_SUPPORT_H_

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Remembers the absolute path of this test program (call before any chdir).
void RememberSelf(const char* argv0);

// The absolute path of this test program.
const std::string& SelfPath();

// The file name of the helper program (fake_tool, with .exe on Windows).
const char* HelperFileName();

// A new, empty folder under the temp folder, named after `tag`.
std::string MakeFreshFolder(const std::string& tag);

// The whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& name);

// Writes `bytes` as the whole file; false when that failed.
bool WriteFileBytes(const std::string& name, const std::string& bytes);

// True when something of that exact name exists in the working directory.
bool EntryExists(const std::string& name);

// The names in the working directory, the helper program's copy left out.
std::vector<std::string> WorkEntries();

// The names in the working directory equal to `name` when case is ignored.
std::vector<std::string> EntriesNamedLike(const std::string& name);

// The text with every CR removed (Windows streams write LF as CR LF).
std::string WithoutCarriageReturns(const std::string& text);

// Runs `body` on a thread of its own and waits at most `seconds` for it.
// False when it has not finished; it is then left running.
bool FinishesWithin(const std::function<void()>& body, int seconds);

// Runs this program as "SELF --platform-child SCENARIO ARGUMENT" through the
// command interpreter, in the working directory, with standard input from
// `inputFile` and standard output and error into out.txt and err.txt.
// False when it has not ended within the time limit.
bool RunScenarioProcess(const std::string& scenario, const std::string& argument,
                        const std::string& inputFile);

// Each test works in a folder of its own, as the tool works in its folder:
// the program's folder is entered first (as at the tool's start), then the
// test moves to a fresh folder that holds a copy of the helper program, so
// that the Windows interpreter finds it there, without a path.
class WorkFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Removes everything but the helper's copy, for the next row of a table.
  static void ClearWorkFolder();

  std::string startFolder_;
  std::string workFolder_;
};

#endif  // BMCUPDATE_TESTS_PLATFORM_SUPPORT_H_
