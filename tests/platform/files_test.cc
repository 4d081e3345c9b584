// OpenTextInput and DeleteNamedFile find a file of the working directory by
// its name, case ignored as on Windows, and never take a folder for a file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "tests/platform/support.h"

namespace {

using NamedFileTest = WorkFolderTest;

struct NameCase {
  const char* onDisk;  // what the folder holds, or null for nothing
  bool isFolder;       // a folder of that name instead of a file
  const char* asked;   // the name the tool uses
  bool found;
};

const NameCase kNameCases[] = {
    {"version.txt", false, "version.txt", true}, {"Version.txt", false, "version.txt", true},
    {"VERSION.TXT", false, "version.txt", true}, {"fru.txt", false, "FRU.txt", true},
    {nullptr, false, "version.txt", false},      {"version.txt.old", false, "version.txt", false},
    {"ersion.txt", false, "version.txt", false}, {"version.txt", true, "version.txt", false},
    {"Version.txt", true, "version.txt", false},
};

TEST_F(NamedFileTest, OpenAndDeleteFindTheFileWhateverItsCase) {
  for (const NameCase& row : kNameCases) {
    SCOPED_TRACE(std::string(row.onDisk ? row.onDisk : "(nothing)") +
                 (row.isFolder ? " (folder)" : "") + " asked as " + row.asked);
    ClearWorkFolder();
    std::error_code error;
    if (row.onDisk != nullptr && row.isFolder) {
      ASSERT_TRUE(std::filesystem::create_directory(row.onDisk, error));
    }
    if (row.onDisk != nullptr && !row.isFolder) {
      ASSERT_TRUE(WriteFileBytes(row.onDisk, "CONTENT\n"));
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
    if (row.found) {
      EXPECT_TRUE(WorkEntries().empty()) << "the file is still there";
    }
    if (!row.found && row.onDisk != nullptr) {
      EXPECT_TRUE(EntryExists(row.onDisk)) << "removed";
    }
  }
}

}  // namespace
