// icmd.exe for Linux: its bounded run, its reading of ipmitool's output, and the program
// with a scripted ipmitool.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "icmd-ipmitool/response.h"
#include "icmd-ipmitool/run.h"

namespace fs = std::filesystem;

// What icmd.exe says on stderr for a command line it refuses, and for ipmitool output it
// cannot read.
const char kUsage[] =
    "usage: icmd.exe -N ADDRESS -P PASSWORD 00 20 NETFN<<2 CMD [DATA...]\n"
    "       (request bytes as two hex digits each, to the BMC at 20h, LUN 0)\n";
const char kUnread[] = "icmd: ipmitool printed no response that icmd understands\n";

TEST(RunCaptured, ReportsHowTheProgramEndedWithinItsLimit) {
  const struct {
    const char* script;  // for sh -c
    int outcome, exitCode;
    const char* output;  // what the 16-byte buffer holds; "...": more was read and dropped
  } kCases[] = {
      {"readlink /proc/self/fd/0; exit 3", kRunExited, 3, "/dev/null\n"},  // never our input
      {"yes | head -c 99", kRunExited, 0, "y\ny\ny\ny\ny\ny\ny\ny\n..."},
      {"printf partial; exec sleep 30", kRunTimedOut, -1, "partial"},
      {"exec >&-; exec sleep 30", kRunTimedOut, -1, ""},  // its output ends, it does not
      {"exec >&-; sleep 0.2", kRunExited, 0, ""},  // ends while we wait, interrupting a pause
  };
  signal(SIGCHLD, [](int) {});  // a signal that interrupts the waits
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.script);
    const char* argv[] = {"sh", "-c", c.script, nullptr};
    char buffer[16];
    RunResult result;
    int limitMs = c.outcome == kRunTimedOut ? 300 : 5000;
    EXPECT_EQ(RunCaptured(argv, limitMs, buffer, sizeof buffer, &result), c.outcome);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(std::string(buffer, result.length) + (result.truncated ? "..." : ""), c.output);
  }
}

TEST(ParseIpmitoolOutput, StoresNoMoreBytesThanItsCapacity) {
  unsigned char bytes[3] = {0, 0, 0x5A};  // a capacity of two, then a guard byte
  EXPECT_EQ(ParseIpmitoolOutput(" 01 02\n", 7, bytes, 2), 2);
  EXPECT_EQ(ParseIpmitoolOutput(" 01 02 03\n", 10, bytes, 2), -1);
  EXPECT_EQ(bytes[2], 0x5A);
}

TEST(IcmdProgram, RunsIpmitoolAndPrintsTheResponseLine) {
  const char kHead[] = "-I lanplus -C 3 -H h -U  -E raw ";  // then NetFn, command, data
  const struct {
    const char* arguments;          // icmd.exe's, as shell words
    const char* ipmitool = "echo";  // what the scripted ipmitool does; "": it cannot be started
    int exitCode = 1;               // icmd.exe's
    const char* printed = "";       // ipmitool's "ARGUMENTS|PASSWORD" line, icmd.exe's
    const char* said = kUsage;      // icmd.exe's stderr
  } kCases[] = {
      // clang-format off
      {"-N h -P 'TOLVE qs' 00 20 28 11 00 aF 09 10", "printf ' 9a fA 00 00 00 00 00 00 00 00 00 00 00 00 00 00\\r\\n 0F\\n'",
       0, "0x0a 0x11 0x00 0xaf 0x09 0x10|TOLVE qs\nrespData[len=17]: 9A FA 00 00 00 00 00 00 00 00 00 00 00 00 00 00 0F\n", ""},
      {"-N h -P '' 00 20 B8 FF", "echo", 0, "0x2e 0xff|\nrespData[len=0]:\n", ""},  // not the old password
      {"-N h -P p 00 20 18 01", "echo ' 20'; exit 1", 3, "0x06 0x01|p\n",  // no session, or an error code
       "icmd: the request failed (ipmitool exit status 1)\n"},
      {"-N h -P p 00 20 18 01", "kill -9 $$", 3, "0x06 0x01|p\n", "icmd: ipmitool ended abnormally\n"},
      {"-N h -P p 00 20 18 01", "true", 5, "0x06 0x01|p\n", kUnread},  // ipmitool printed nothing
      {"-N h -P p 00 20 18 01", "echo ' 2010'", 5, "0x06 0x01|p\n", kUnread},
      {"-N h -P p 00 20 18 01", "echo ' 2g'", 5, "0x06 0x01|p\n", kUnread},
      {"-N h -P p 00 20 18 01", "", 2, "", "icmd: ipmitool cannot be started (is it installed?)\n"},
      // Refused: not "-N ADDRESS -P PASSWORD", no command, not to the BMC at 20h LUN 0, not hex.
      {"-n h -P p 00 20 18 01"}, {"-N h -Q p 00 20 18 01"}, {"-N -H -P p 00 20 18 01"}, {"-N '' -P p 00 20 18 01"},
      {"-N h -P p 00 20 18"}, {"-N h -P p 01 20 18 01"}, {"-N h -P p 00 22 18 01"}, {"-N h -P p 00 20 1B 01"},
      {"-N h -P p 00 20 18 1"}, {"-N h -P p 00 20 18 001"}, {"-N h -P p 00 20 18 0g"},
      // clang-format on
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.arguments);
    fs::remove_all("work");
    fs::create_directories("work/bin");
    std::ofstream("work/bin/ipmitool")
        << "#!/bin/sh\ns=\"$*\"\necho \"${s#" << kHead << "}|$IPMI_PASSWORD\" >>out\n"
        << c.ipmitool << "\n";
    if (c.ipmitool[0] != '\0') fs::permissions("work/bin/ipmitool", fs::perms::owner_all);
    std::string command = "cd work && IPMI_PASSWORD=old PATH=\"$PWD/bin\" " ICMD_PATH " " +
                          std::string(c.arguments) + " >>out 2>err";
    int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitCode) << status;
    std::ifstream out("work/out"), err("work/err");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(out), {}), c.printed);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(err), {}), c.said);
  }
}
