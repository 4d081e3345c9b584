// icmd.exe as the tool runs it, with a scripted ipmitool in its place: what
// ipmitool is given (arguments, the password in its environment), and what
// icmd.exe prints and returns for each kind of answer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

// Records its arguments (one per line) and IPMI_PASSWORD, then prints
// reply.txt and exits with the status in status.txt.
const char kFakeIpmitool[] =
    "#!/bin/sh\n"
    "PATH=/usr/bin:/bin\n"
    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\n"
    "printf '%s' \"${IPMI_PASSWORD-<unset>}\" > password.txt\n"
    "cat reply.txt\n"
    "echo 'ipmitool says something' >&2\n"
    "exit $(cat status.txt)\n";

// The whole file; empty when it cannot be read.
std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(IcmdProgram, AnswersAsTheToolExpects) {
  const char kFru[] = " 10 01 00 00 00 0d 00 00 f2 00 00 00 00 00 00 00\n 00\n";
  const struct {
    const char* arguments;  // icmd.exe's command line after its name (shell words)
    bool withIpmitool;      // the fake ipmitool is on PATH
    const char* reply;      // what it prints
    int status;             // and its exit status
    int exitCode;           // icmd.exe's
    const char* output;     // icmd.exe's standard output
    const char* message;    // a piece of icmd.exe's standard error
    const char* password;   // what ipmitool found in IPMI_PASSWORD; null: it never ran
  } kCases[] = {
      // clang-format off
      {"-P \"TOLVE qs Family\" 00 20 28 11 00 00 00 10", true, kFru, 0, 0,
       "respData[len=17]: 10 01 00 00 00 0D 00 00 F2 00 00 00 00 00 00 00 00\n", "ipmitool says", "TOLVE qs Family"},
      {"-P \"\" 00 20 18 02", true, "\n", 0, 0, "respData[len=0]:\n", "ipmitool says", ""},
      {"-P \"pw\" 00 20 18 01", true, "", 1, 3, "", "icmd: the request failed (ipmitool exit status 1)", "pw"},
      {"-P \"pw\" 00 20 18 01", true, "Done.\n", 0, 5, "", "icmd: ipmitool printed no response", "pw"},
      {"-P \"pw\" 00 20 18", true, kFru, 0, 1, "", "usage:", nullptr},
      {"-P \"pw\" 00 20 18 01", false, kFru, 0, 2, "", "icmd: ipmitool cannot be started", nullptr},
      // clang-format on
  };
  int row = 0;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.arguments);
    fs::path folder = fs::absolute("work/" + std::to_string(row++));
    fs::remove_all(folder);
    fs::create_directories(folder / "bin");
    if (c.withIpmitool) {
      std::ofstream(folder / "bin/ipmitool") << kFakeIpmitool;
      ASSERT_EQ(chmod((folder / "bin/ipmitool").c_str(), 0755), 0);
    }
    std::ofstream(folder / "reply.txt") << c.reply;
    std::ofstream(folder / "status.txt") << c.status;
    // A password left in the environment must not be the one ipmitool gets.
    std::string command = "cd '" + folder.string() + "' && IPMI_PASSWORD=stale PATH='" +
                          (folder / "bin").string() + "' '" + ICMD_PATH + "' -N 127.0.0.9 " +
                          c.arguments + " > out.txt 2> err.txt";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << command;
    EXPECT_EQ(WEXITSTATUS(status), c.exitCode);
    EXPECT_EQ(ReadAll(folder / "out.txt"), c.output);
    EXPECT_NE(ReadAll(folder / "err.txt").find(c.message), std::string::npos);
    EXPECT_EQ(fs::exists(folder / "password.txt"), c.password != nullptr);
    if (c.password == nullptr) continue;
    EXPECT_EQ(ReadAll(folder / "password.txt"), c.password);
    // The request built from the command line (exactly so in the request tests).
    EXPECT_EQ(
        ReadAll(folder / "args.txt").rfind("-I\nlanplus\n-C\n3\n-H\n127.0.0.9\n-U\n\n-E\nraw\n", 0),
        0u);
  }
}

}  // namespace
