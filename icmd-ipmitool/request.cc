// icmd.exe's command line and the ipmitool command made from it.
#include "icmd-ipmitool/request.h"

#include <cstdio>
#include <cstring>

#include "icmd-text/icmd_text.h"

namespace {

// Reads a byte written as exactly two hex digits. 0, or -1.
int ParseByte(const char* text, unsigned char* byte) {
  if (std::strlen(text) != 2) return -1;
  int value = ParseHexPair(text);
  if (value < 0) return -1;
  *byte = static_cast<unsigned char>(value);
  return 0;
}

}  // namespace

int ParseIcmdArguments(int argc, char** argv, IcmdRequest* request) {
  // Program name, -N, address, -P, password, and at least four bytes.
  const int kFirstByte = 5;
  if (argc < kFirstByte + 4 || argc - kFirstByte > kMaxRequestBytes) return -1;
  if (std::strcmp(argv[1], "-N") != 0 || std::strcmp(argv[3], "-P") != 0) return -1;
  // An address that looks like an option would be taken for one.
  if (argv[2][0] == '\0' || argv[2][0] == '-') return -1;
  request->address = argv[2];
  request->password = argv[4];
  request->count = argc - kFirstByte;
  for (int i = 0; i < request->count; ++i) {
    if (ParseByte(argv[kFirstByte + i], &request->bytes[i]) != 0) return -1;
  }
  // Only requests to the BMC itself (responder address 20h, LUN 0): no
  // bridging, so nothing else is asked of ipmitool.
  const unsigned char* bytes = request->bytes;
  if (bytes[0] != 0x00 || bytes[1] != 0x20 || (bytes[2] & 0x03) != 0) return -1;
  return 0;
}

void BuildIpmitoolCommand(const IcmdRequest* request, IpmitoolCommand* command) {
  const char* fixed[] = {"ipmitool",       "-I", "lanplus", "-C", "3",  "-H",
                         request->address, "-U", "",        "-E", "raw"};
  int n = 0;
  for (const char* argument : fixed) command->argv[n++] = argument;
  // NetFn, then the command and the data, as ipmitool's raw takes them.
  std::snprintf(command->numbers[0], sizeof command->numbers[0], "0x%02x", request->bytes[2] >> 2);
  command->argv[n++] = command->numbers[0];
  for (int i = 3; i < request->count; ++i) {
    std::snprintf(command->numbers[i - 2], sizeof command->numbers[i - 2], "0x%02x",
                  request->bytes[i]);
    command->argv[n++] = command->numbers[i - 2];
  }
  command->argv[n] = nullptr;
}
