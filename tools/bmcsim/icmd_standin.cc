// Stand-in for the IPMI raw-command program: answers one request per run
// from bmcsim.txt, with the chatter and the faults the tests need.
// Usage: icmd.exe -N ADDRESS -P PASSWORD B1 B2 ...
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "host.h"
#include "icmd-text/icmd_text.h"
#include "simlog.h"
#include "state.h"

namespace {

// The requests this BMC understands.
enum Request { kBadRequest, kGetDeviceId, kColdReset, kReadFru };

// The log marks of a Read FRU Data request, for fail_fru_at.
const char kLogHead[] = "icmd ";
const char kFruLogPart[] = "] [00] [20] [28] [11] [00] [";

// 1 when the arguments from `bytes` on are exactly the texts of `expected`.
int BytesAre(char** bytes, int count, const char* const* expected, int expectedCount) {
  if (count != expectedCount) return 0;
  for (int i = 0; i < count; ++i) {
    if (std::strcmp(bytes[i], expected[i]) != 0) return 0;
  }
  return 1;
}

// 1 when `text` is an offset low byte of the form X0, X a capital hex digit.
int IsFruOffset(const char* text) {
  return std::strlen(text) == 2 && std::strchr("0123456789ABCDEF", text[0]) != nullptr &&
         text[1] == '0';
}

// Recognises the command line; sets *offset for a Read FRU Data request.
Request ParseRequest(int argc, char** argv, int* offset) {
  static const char* const kDeviceId[] = {"00", "20", "18", "01"};
  static const char* const kColdResetBytes[] = {"00", "20", "18", "02"};
  static const char* const kFruHead[] = {"00", "20", "28", "11", "00"};
  if (argc < 5 || std::strcmp(argv[1], "-N") != 0 || std::strcmp(argv[3], "-P") != 0) {
    return kBadRequest;
  }
  char** bytes = argv + 5;
  int count = argc - 5;
  if (BytesAre(bytes, count, kDeviceId, 4)) return kGetDeviceId;
  if (BytesAre(bytes, count, kColdResetBytes, 4)) return kColdReset;
  if (count != 8 || !BytesAre(bytes, 5, kFruHead, 5) || !IsFruOffset(bytes[5]) ||
      std::strcmp(bytes[6], "00") != 0 || std::strcmp(bytes[7], "10") != 0) {
    return kBadRequest;
  }
  *offset = ParseHexPair(bytes[5]);
  return kReadFru;
}

// Fills `data` with the response data bytes; returns their count.
int BuildResponse(Request request, const SimState& s, int offset, unsigned char* data) {
  // Additional device support, manufacturer, product and auxiliary bytes.
  static const unsigned char kDeviceFill[] = {0xBF, 0x7A, 0x1B, 0x00, 0x01,
                                              0x0A, 0x00, 0x00, 0x00, 0x00};
  if (request == kColdReset) return 0;
  if (request == kReadFru) {
    data[0] = 0x10;
    std::memcpy(data + 1, s.fru + offset, 16);
    return 17;
  }
  data[0] = s.deviceId;
  data[1] = s.deviceRevision;
  data[2] = s.firmware[0];
  data[3] = s.firmware[1];
  data[4] = 0x02;  // IPMI 2.0
  std::memcpy(data + 5, kDeviceFill, sizeof kDeviceFill);
  return 5 + static_cast<int>(sizeof kDeviceFill);
}

// 1 when the state's fault hits this request.
int FaultHits(const SimState& s, Request request) {
  if (s.faultScope == kScopeVersion) return request == kGetDeviceId;
  if (s.faultScope == kScopeFru) return request == kReadFru;
  return 1;
}

// Writes one line to stdout with the line end the fault asks for.
void PrintLine(const char* text, SimFault fault) {
  std::fputs(text, stdout);
  std::fputs(fault == kFaultCrlf ? "\r\n" : "\n", stdout);
}

// Prints header, response line and status line as the fault shapes them.
void PrintAnswer(int argc, char** argv, const unsigned char* data, int length, SimFault fault) {
  char line[1024];
  int used = std::snprintf(line, sizeof line, "Raw IPMI request to %s:", argv[2]);
  for (int i = 5; i < argc && used > 0 && used < static_cast<int>(sizeof line); ++i) {
    used += std::snprintf(line + used, sizeof line - used, " %s", argv[i]);
  }
  PrintLine(line, fault);
  if (fault == kFaultNoResponse) {
    PrintLine("Error: no response from the BMC (timeout)", fault);
    return;
  }
  // At most 32 data bytes: the line always fits.
  (void)FormatResponseLine(data, length, line, static_cast<int>(sizeof line));
  if (fault == kFaultTruncated && std::strlen(line) > 20) line[20] = '\0';
  if (fault == kFaultCtrlZ) std::fputc(0x1A, stdout);
  PrintLine(line, fault);
  PrintLine("Completion Code: 00", fault);
}

// Copies the file `name` to stdout byte for byte. 0, or -1 when it cannot
// be opened (nothing is printed then).
int PrintRawOutput(const char* name) {
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) {
    std::fprintf(stderr, "bmcsim: raw_output file %s cannot be opened\n", name);
    return -1;
  }
  char buffer[65536];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    std::fwrite(buffer, 1, got, stdout);
  }
  std::fclose(file);
  return 0;
}

// Deletes the capture file the request's output is redirected into.
void DeleteCapture(Request request) {
  if (request == kGetDeviceId) {
    std::remove("Version.txt");
    std::remove("version.txt");
  } else if (request == kReadFru) {
    std::remove("fru.txt");
  }
}

// Answers a well-formed request.
int Answer(Request request, int offset, int fruRequestNumber, int argc, char** argv) {
  SimState state;
  LoadState(&state);
  SimFault fault = FaultHits(state, request) ? state.fault : kFaultNone;
  if (request == kReadFru && fruRequestNumber == state.failFruAt) fault = kFaultNoResponse;
  // A wrong password opens no session: nothing is answered.
  if (state.hasPassword && std::strcmp(argv[4], state.password) != 0) fault = kFaultNoResponse;
  unsigned char data[32];
  int length = BuildResponse(request, state, offset, data);
  std::fputs("icmd: session opened\n", stderr);
  // A raw file replaces everything printed, and the faults with it.
  if (state.rawOutput[0] != '\0' && FaultHits(state, request)) {
    fault = PrintRawOutput(state.rawOutput) == 0 ? kFaultNone : kFaultNoResponse;
  } else {
    PrintAnswer(argc, argv, data, length, fault);
  }
  std::fflush(stdout);
  if (fault == kFaultNoCapture) DeleteCapture(request);
  if (request == kColdReset && (state.firmware[0] & 0x80) != 0 && state.hasAfterReset) {
    StoreFirmware(state.afterReset);
  }
  return fault == kFaultNoResponse ? 1 : 0;
}

// Takes slow_ms before the request numbered slow_request answers, so that a
// test can interrupt the tool while it waits for one.
void TakeTime(int requestNumber) {
  SimState state;
  LoadState(&state);
  if (requestNumber != state.slowRequest) return;
  LogText("icmd-slow", "waiting");
  std::this_thread::sleep_for(std::chrono::milliseconds(state.slowMs));
}

}  // namespace

int main(int argc, char** argv) {
  PrepareStandardStreams();
  int fruRequestNumber = CountLogLines(kLogHead, kFruLogPart) + 1;
  int requestNumber = CountLogLines(kLogHead, "") + 1;
  LogCall("icmd", argc, argv);
  // The folder where the interpreter looked first for this program.
  char first[4096];
  if (FirstPathFolder(first, sizeof first) == 0) LogText("icmd-path", first);
  // The tool's lock is the flash program's alone.
  if (HoldsOpenFile("bmcupdate.lck")) LogText("icmd-lock", "held");
  int offset = 0;
  Request request = ParseRequest(argc, argv, &offset);
  if (request == kBadRequest) {
    std::fputs("usage: icmd.exe -N ADDRESS -P PASSWORD B1 B2 ...\n", stderr);
    return 1;
  }
  TakeTime(requestNumber);
  return Answer(request, offset, fruRequestNumber, argc, argv);
}
