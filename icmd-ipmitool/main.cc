// icmd.exe for Linux: one raw IPMI request to a BMC over RMCP+ (IPMI 2.0
// LAN), made by ipmitool, and its answer printed as the response line
// "respData[len=N]: XX XX ...". Without an answer it prints no response
// line, says why on stderr and exits non-zero.
#include <cstdio>
#include <cstdlib>

#include "icmd-ipmitool/request.h"
#include "icmd-ipmitool/response.h"
#include "icmd-ipmitool/run.h"
#include "icmd-text/icmd_text.h"

namespace {

// Exit codes.
enum IcmdExit {
  kExitAnswered = 0,
  kExitUsage = 1,
  kExitNotStarted = 2,  // ipmitool could not be started
  kExitFailed = 3,      // ipmitool failed: no session, or an error completion code
  kExitNoAnswer = 4,    // ipmitool still had no answer at the time limit
  kExitUnreadable = 5,  // ipmitool's output was not a response
};

// ipmitool gives up on an absent BMC after about 20 s; this bound is for an
// ipmitool that hangs for any other reason.
const int kIpmitoolTimeoutMs = 30000;

const char kUsage[] =
    "usage: icmd.exe -N ADDRESS -P PASSWORD 00 20 NETFN<<2 CMD [DATA...]\n"
    "       (request bytes as two hex digits each, to the BMC at 20h, LUN 0)\n";

// Reports a run that ended without an answer. The IcmdExit.
int ReportFailure(const RunResult* run) {
  switch (run->outcome) {
    case kRunNotStarted:
      std::fputs("icmd: ipmitool cannot be started (is it installed?)\n", stderr);
      return kExitNotStarted;
    case kRunTimedOut:
      std::fprintf(stderr, "icmd: no answer from ipmitool within %d s; stopped it\n",
                   kIpmitoolTimeoutMs / 1000);
      return kExitNoAnswer;
    case kRunKilled: std::fputs("icmd: ipmitool ended abnormally\n", stderr); return kExitFailed;
    default:
      std::fprintf(stderr, "icmd: the request failed (ipmitool exit status %d)\n", run->exitCode);
      return kExitFailed;
  }
}

}  // namespace

int main(int argc, char** argv) {
  IcmdRequest request;
  if (ParseIcmdArguments(argc, argv, &request) != 0) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  IpmitoolCommand command;
  BuildIpmitoolCommand(&request, &command);
  // ipmitool -E reads the password here; set even when empty, or it asks.
  if (setenv("IPMI_PASSWORD", request.password, 1) != 0) {
    std::fputs("icmd: cannot pass the password to ipmitool\n", stderr);
    return kExitNotStarted;
  }
  char output[4096];
  RunResult run;
  if (RunCaptured(command.argv, kIpmitoolTimeoutMs, output, sizeof output, &run) != kRunExited ||
      run.exitCode != 0) {
    return ReportFailure(&run);
  }
  unsigned char bytes[kMaxResponseBytes];
  int count =
      run.truncated ? -1 : ParseIpmitoolOutput(output, run.length, bytes, kMaxResponseBytes);
  char line[kResponseLineSize];
  if (count < 0 || FormatResponseLine(bytes, count, line, sizeof line) != 0) {
    std::fputs("icmd: ipmitool printed no response that icmd understands\n", stderr);
    return kExitUnreadable;
  }
  std::printf("%s\n", line);
  return std::fflush(stdout) == 0 ? kExitAnswered : kExitUnreadable;
}
