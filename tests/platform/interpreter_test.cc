// RunInterpreter with the three interpreter features the command texts rely
// on: "> file" of standard output only, the null device "nul", and one file
// behind "Version.txt" and "version.txt".
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "tests/platform/support.h"

namespace {

using InterpreterTest = WorkFolderTest;

// The first line of a file opened by name as the tool opens it.
std::string FirstLineAs(const char* name) {
  TextInput input;
  if (OpenTextInput(name, &input) != 0) return "<cannot be opened>";
  char line[260];
  ReadTextLine(&input, line, sizeof line);
  CloseTextInput(&input);
  return line;
}

bool AnyFileHolds(const std::string& text) {
  for (const std::string& name : WorkEntries()) {
    if (ReadFileBytes(name).find(text) != std::string::npos) return true;
  }
  return false;
}

struct CaptureCase {
  const char* redirectTo;  // the name in the command's redirection
  const char* stale;       // a capture left from an earlier run, or null
  const char* readAs;      // the name the tool opens and deletes
};

const CaptureCase kCaptureCases[] = {
    {"Version.txt", nullptr, "version.txt"},
    {"Version.txt", "Version.txt", "version.txt"},
    {"Version.txt", "version.txt", "version.txt"},
    {"fru.txt", nullptr, "fru.txt"},
};

TEST_F(InterpreterTest, CaptureIsReadAndDeletedUnderTheToolsName) {
  for (const CaptureCase& row : kCaptureCases) {
    SCOPED_TRACE(std::string("> ") + row.redirectTo + (row.stale ? " over stale " : "") +
                 (row.stale ? row.stale : ""));
    ClearWorkFolder();
    if (row.stale != nullptr) {
      ASSERT_TRUE(WriteFileBytes(row.stale, "STALE-CAPTURE\n"));
    }
    RunInterpreter((std::string("fake_tool --out FRESH-CAPTURE > ") + row.redirectTo).c_str());

    EXPECT_EQ(FirstLineAs(row.readAs), "FRESH-CAPTURE\n");
    EXPECT_EQ(DeleteNamedFile(row.readAs), 0);
    EXPECT_FALSE(AnyFileHolds("FRESH-CAPTURE")) << "the deleted file is not the one read";
    if (row.stale == nullptr) {
      EXPECT_TRUE(EntriesNamedLike(row.readAs).empty());
    }
  }
}

TEST_F(InterpreterTest, NulIsTheNullDeviceInAnyCase) {
  for (const char* nul : {"nul", "NUL", "Nul"}) {
    SCOPED_TRACE(nul);
    ClearWorkFolder();
    RunInterpreter((std::string("fake_tool --out DISCARDED --touch ran.txt > ") + nul).c_str());

    EXPECT_TRUE(EntryExists("ran.txt")) << "the command did not run";
    EXPECT_TRUE(EntriesNamedLike("nul").empty()) << "a file named nul appeared";
    EXPECT_FALSE(AnyFileHolds("DISCARDED"));
  }
}

// The password stands in double quotes in every icmd.exe command line; the
// characters a password may hold must reach the program as they are, as one
// argument, whichever interpreter splits the line.
TEST_F(InterpreterTest, QuotedArgumentReachesTheProgramWhole) {
  const char* passwords[] = {"TOLVE qs Family", "a&b|c<d>e^f", "x > y", "!;'()*?[]{}~#@=+,"};
  for (const char* password : passwords) {
    SCOPED_TRACE(password);
    ClearWorkFolder();
    RunInterpreter((std::string("fake_tool --args args.txt -N 1.2.3.4 -P \"") + password +
                    "\" 00 20 18 01 > nul")
                       .c_str());
    EXPECT_EQ(ReadFileBytes("args.txt"),
              std::string("--args\nargs.txt\n-N\n1.2.3.4\n-P\n") + password + "\n00\n20\n18\n01\n");
  }
}

// Standard error is not redirected: it reaches the console.
TEST_F(InterpreterTest, RedirectionTakesStandardOutputOnly) {
  ASSERT_TRUE(WriteFileBytes("empty.txt", ""));
  ASSERT_TRUE(RunScenarioProcess("interpret-capture", "", "empty.txt"));

  std::string capture;
  for (const std::string& name : EntriesNamedLike("version.txt")) capture += ReadFileBytes(name);
  EXPECT_NE(capture.find("CAPTURED-OUT"), std::string::npos);
  EXPECT_EQ(capture.find("CONSOLE-ERR"), std::string::npos);
  std::string err = ReadFileBytes("err.txt");
  EXPECT_NE(err.find("CONSOLE-ERR"), std::string::npos) << err;
  EXPECT_NE(err.find("DISCARD-ERR"), std::string::npos) << err;
  std::string out = ReadFileBytes("out.txt");
  EXPECT_EQ(out.find("-OUT"), std::string::npos) << out;
}

// Our own unflushed text must stand before what the command prints.
TEST_F(InterpreterTest, OwnOutputStandsBeforeTheCommands) {
  ASSERT_TRUE(WriteFileBytes("empty.txt", ""));
  ASSERT_TRUE(RunScenarioProcess("interpret-order", "", "empty.txt"));

  EXPECT_EQ(WithoutCarriageReturns(ReadFileBytes("out.txt")),
            "before-command\nDURING-COMMAND\nafter-command\n");
}

}  // namespace
