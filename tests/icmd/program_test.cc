// icmd.exe as the tool runs it, with a scripted ipmitool in its place: what
// ipmitool is given (arguments, the password in its environment), and what
// icmd.exe prints and returns for each kind of answer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Records its arguments (one per line) and IPMI_PASSWORD, then prints
// reply.txt and exits with the status in status.txt.
const char kFakeIpmitool[] =
    "#!/bin/sh\n"
    "PATH=/usr/bin:/bin\n"
    "dir=$(dirname \"$0\")/..\n"
    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$dir/args.txt\"\n"
    "printf '%s' \"${IPMI_PASSWORD-<unset>}\" > \"$dir/password.txt\"\n"
    "cat \"$dir/reply.txt\"\n"
    "echo 'ipmitool says something' >&2\n"
    "exit $(cat \"$dir/status.txt\")\n";

// The whole file; empty when it cannot be read.
std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Writes the whole file.
void WriteAll(const std::string& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << content;
}

struct ProgramCase {
  const char* name;
  const char* arguments;  // icmd.exe's command line after its name (shell words)
  bool withIpmitool;      // the fake ipmitool is on PATH
  const char* reply;      // what it prints
  int status;             // and its exit status
  int exitCode;           // icmd.exe's
  const char* output;     // icmd.exe's standard output
  const char* message;    // a piece of icmd.exe's standard error; "" for none
  const char* password;   // what ipmitool found in IPMI_PASSWORD; null: it never ran
};

// A failing case is named by its name, not its bytes.
void PrintTo(const ProgramCase& c, std::ostream* out) { *out << c.name; }

const char kFruReply[] = " 10 01 00 00 00 0d 00 00 f2 00 00 00 00 00 00 00\n 00\n";
const char kFruLine[] = "respData[len=17]: 10 01 00 00 00 0D 00 00 F2 00 00 00 00 00 00 00 00\n";

const ProgramCase kCases[] = {
    {"Answered", "-N 127.0.0.9 -P \"TOLVE qs Family\" 00 20 28 11 00 00 00 10", true, kFruReply, 0,
     0, kFruLine, "", "TOLVE qs Family"},
    {"EmptyPassword", "-N 127.0.0.9 -P \"\" 00 20 18 02", true, "\n", 0, 0, "respData[len=0]:\n",
     "", ""},
    {"RequestFailed", "-N 127.0.0.9 -P \"pw\" 00 20 18 01", true, "", 1, 3, "",
     "icmd: the request failed (ipmitool exit status 1)", "pw"},
    {"AnswerNotUnderstood", "-N 127.0.0.9 -P \"pw\" 00 20 18 01", true, "Done.\n", 0, 5, "",
     "icmd: ipmitool printed no response", "pw"},
    {"BadCommandLine", "-N 127.0.0.9 -P \"pw\" 00 20 18", true, kFruReply, 0, 1, "",
     "usage:", nullptr},
    {"NoIpmitool", "-N 127.0.0.9 -P \"pw\" 00 20 18 01", false, kFruReply, 0, 2, "",
     "icmd: ipmitool cannot be started", nullptr},
};

class IcmdProgramTest : public testing::TestWithParam<ProgramCase> {};

TEST_P(IcmdProgramTest, AnswersAsTheToolExpects) {
  const ProgramCase& c = GetParam();
  fs::path folder = fs::absolute(fs::path("work") / c.name);
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(folder / "bin", error);
  if (c.withIpmitool) {
    WriteAll((folder / "bin/ipmitool").string(), kFakeIpmitool);
    ASSERT_EQ(0, chmod((folder / "bin/ipmitool").c_str(), 0755));
  }
  WriteAll((folder / "reply.txt").string(), c.reply);
  WriteAll((folder / "status.txt").string(), std::to_string(c.status));
  // A password left in the environment must not be the one ipmitool gets.
  std::string command = "cd '" + folder.string() + "' && IPMI_PASSWORD=stale PATH='" +
                        (folder / "bin").string() + "' '" + ICMD_PATH + "' " + c.arguments +
                        " > out.txt 2> err.txt";
  int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status)) << command;
  EXPECT_EQ(c.exitCode, WEXITSTATUS(status));
  EXPECT_EQ(c.output, ReadAll((folder / "out.txt").string()));
  std::string errors = ReadAll((folder / "err.txt").string());
  if (c.message[0] == '\0') {
    EXPECT_EQ("ipmitool says something\n", errors);
  } else {
    EXPECT_NE(std::string::npos, errors.find(c.message)) << errors;
  }
  EXPECT_EQ(c.password != nullptr, fs::exists(folder / "password.txt"));
  if (c.password != nullptr) {
    EXPECT_EQ(c.password, ReadAll((folder / "password.txt").string()));
  }
}

// The case's name as the test's name.
std::string CaseName(const testing::TestParamInfo<ProgramCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(WithScriptedIpmitool, IcmdProgramTest, testing::ValuesIn(kCases),
                         CaseName);

// The arguments ipmitool gets for a Read FRU Data request: one per line.
TEST(IcmdProgram, RunsIpmitoolWithTheRawRequest) {
  fs::path folder = fs::absolute(fs::path("work") / "Arguments");
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(folder / "bin", error);
  WriteAll((folder / "bin/ipmitool").string(), kFakeIpmitool);
  ASSERT_EQ(0, chmod((folder / "bin/ipmitool").c_str(), 0755));
  WriteAll((folder / "reply.txt").string(), kFruReply);
  WriteAll((folder / "status.txt").string(), "0");
  std::string command = "cd '" + folder.string() + "' && PATH='" + (folder / "bin").string() +
                        "' '" + ICMD_PATH +
                        "' -N 192.168.0.10 -P \"a b\" 00 20 28 11 00 F0 00 10 > out.txt";
  ASSERT_EQ(0, std::system(command.c_str()));
  EXPECT_EQ(
      "-I\nlanplus\n-C\n3\n-H\n192.168.0.10\n-U\n\n-E\nraw\n0x0a\n0x11\n0x00\n0xf0\n0x00\n0x10\n",
      ReadAll((folder / "args.txt").string()));
}

}  // namespace
