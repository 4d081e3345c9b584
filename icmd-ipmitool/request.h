// The command line icmd.exe accepts, and the ipmitool command it becomes.
#ifndef BMCUPDATE_ICMD_IPMITOOL_REQUEST_H_
#define BMCUPDATE_ICMD_IPMITOOL_REQUEST_H_

// The request bytes one run may carry: 00, 20, NetFn/LUN, command, data.
const int kMaxRequestBytes = 40;
// ipmitool's arguments: the fixed ones, NetFn, command, data, terminator.
const int kMaxIpmitoolArguments = 12 + kMaxRequestBytes;

// One raw IPMI request to one BMC, as the command line gave it.
struct IcmdRequest {
  const char* address;   // the text after -N
  const char* password;  // the text after -P
  unsigned char bytes[kMaxRequestBytes];
  int count;
};

// ipmitool's argument vector; the strings point into `numbers` or into
// the request's texts.
struct IpmitoolCommand {
  char numbers[kMaxRequestBytes][8];
  const char* argv[kMaxIpmitoolArguments];
};

// Reads "-N ADDRESS -P PASSWORD" and the request bytes (two hex digits
// each: 00, 20, NetFn << 2 with LUN 0, the command, the data). 0, or -1
// when the command line has any other form.
int ParseIcmdArguments(int argc, char** argv, IcmdRequest* request);

// Builds "ipmitool -I lanplus -C 3 -H ADDRESS -U '' -E raw NETFN CMD DATA...".
// The password is not among the arguments: ipmitool reads it from
// IPMI_PASSWORD (-E).
void BuildIpmitoolCommand(const IcmdRequest* request, IpmitoolCommand* command);

#endif  // BMCUPDATE_ICMD_IPMITOOL_REQUEST_H_
