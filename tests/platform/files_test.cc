// The tool's folder and its files: EnterProgramFolder makes the program's
// folder the working directory, wherever it was started from; OpenTextInput
// and DeleteNamedFile find a file there by its name, case ignored as on
// Windows, and never take a folder for a file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "tests/platform/support.h"

namespace {

namespace fs = std::filesystem;

TEST(EnterProgramFolder, MakesTheProgramsFolderTheWorkingDirectory) {
  fs::path start = fs::current_path();
  fs::current_path(fs::temp_directory_path());
  int result = EnterProgramFolder();
  fs::path entered = fs::current_path();
  fs::current_path(start);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(fs::equivalent(entered, fs::path(g_selfPath).parent_path())) << entered;
}

using NamedFileTest = WorkFolderTest;

TEST_F(NamedFileTest, OpenAndDeleteFindTheFileWhateverItsCase) {
  const struct {
    const char* onDisk;  // what the folder holds, or null for nothing
    bool isFolder;       // a folder of that name instead of a file
    const char* asked;   // the name the tool uses
    bool found;
  } kCases[] = {
      {"version.txt", false, "version.txt", true}, {"Version.txt", false, "version.txt", true},
      {"VERSION.TXT", false, "version.txt", true}, {"fru.txt", false, "FRU.txt", true},
      {nullptr, false, "version.txt", false},      {"version.txt.old", false, "version.txt", false},
      {"ersion.txt", false, "version.txt", false}, {"version.txt", true, "version.txt", false},
      {"Version.txt", true, "version.txt", false},
  };
  for (const auto& row : kCases) {
    SCOPED_TRACE(std::string(row.onDisk ? row.onDisk : "(nothing)") +
                 (row.isFolder ? " (folder)" : "") + " asked as " + row.asked);
    ClearWorkFolder();
    if (row.onDisk != nullptr) {
      ASSERT_TRUE(row.isFolder ? fs::create_directory(row.onDisk)
                               : WriteFileBytes(row.onDisk, "CONTENT\n"));
    }
    TextInput input;
    int opened = OpenTextInput(row.asked, &input);
    EXPECT_EQ(opened, row.found ? 0 : -1);
    if (opened == 0) {
      char line[260];
      EXPECT_EQ(ReadTextLine(&input, line, sizeof line), 8);
      EXPECT_STREQ(line, "CONTENT\n");
      CloseTextInput(&input);
    }
    EXPECT_EQ(DeleteNamedFile(row.asked), row.found ? 0 : -1);
    // Deleted when found, left alone when not.
    EXPECT_EQ(WorkEntries().size(), row.found || row.onDisk == nullptr ? 0u : 1u);
  }
}

}  // namespace
