// icmd.exe's command line, and the ipmitool arguments made from it.
#include "icmd/request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The words of `line` (split at every blank: two blanks make an empty word)
// as icmd.exe's arguments; the ipmitool arguments made from them, or
// {"refused"}.
std::vector<std::string> Ipmitool(const std::string& line) {
  std::vector<std::string> words = {"icmd.exe"};
  for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
    end = line.find(' ', start);
    words.push_back(line.substr(start, end - start));
  }
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  IcmdRequest request;
  if (ParseIcmdArguments(static_cast<int>(words.size()), argv.data(), &request) != 0) {
    return {"refused"};
  }
  IpmitoolCommand command;
  BuildIpmitoolCommand(&request, &command);
  std::vector<std::string> arguments;
  for (int i = 0; command.argv[i] != nullptr; ++i) arguments.push_back(command.argv[i]);
  return arguments;
}

// ipmitool's whole command for a request to `address`; never the password.
std::vector<std::string> Raw(const char* address, std::vector<std::string> raw) {
  std::vector<std::string> head = {"ipmitool", "-I", "lanplus", "-C", "3",  "-H",
                                   address,    "-U", "",        "-E", "raw"};
  raw.insert(raw.begin(), head.begin(), head.end());
  return raw;
}

TEST(IcmdArguments, BecomeRawRequestsOverLanplusOrAreRefused) {
  const std::vector<std::string> kRefused = {"refused"};
  const struct {
    const char* line;
    std::vector<std::string> ipmitool;
  } kCases[] = {
      {"-N 192.168.0.10 -P pw 00 20 18 01", Raw("192.168.0.10", {"0x06", "0x01"})},
      {"-N fe80::1 -P a\"b\"c 00 20 28 11 00 F0 00 10",
       Raw("fe80::1", {"0x0a", "0x11", "0x00", "0xf0", "0x00", "0x10"})},
      {"-N 1.2.3.4 -P  00 20 28 11 00 a0 00 10",  // an empty password, lower-case hex
       Raw("1.2.3.4", {"0x0a", "0x11", "0x00", "0xa0", "0x00", "0x10"})},
      {"-N 1.2.3.4 -P pw 00 20 B8 FF", Raw("1.2.3.4", {"0x2e", "0xff"})},
      {"-N 1.2.3.4 -P pw 00 20 18", kRefused},      // no command byte
      {"-N 1.2.3.4 00 20 18 01", kRefused},         // no -P
      {"-n 1.2.3.4 -P pw 00 20 18 01", kRefused},   // lower-case option
      {"-N  -P pw 00 20 18 01", kRefused},          // empty address
      {"-N -H -P pw 00 20 18 01", kRefused},        // an address ipmitool would take for an option
      {"-N 1.2.3.4 -P pw 01 20 18 01", kRefused},   // first byte not 00
      {"-N 1.2.3.4 -P pw 00 22 18 01", kRefused},   // another responder
      {"-N 1.2.3.4 -P pw 00 20 1B 01", kRefused},   // LUN 3
      {"-N 1.2.3.4 -P pw 00 20 18 1", kRefused},    // one digit
      {"-N 1.2.3.4 -P pw 00 20 18 001", kRefused},  // three digits
      {"-N 1.2.3.4 -P pw 00 20 18 G1", kRefused},   // not hex
      {"-N 1.2.3.4 -P pw 00 20 18 01 ", kRefused},  // an empty byte
  };
  for (const auto& c : kCases) EXPECT_EQ(Ipmitool(c.line), c.ipmitool) << c.line;
  // The longest request there is room for, and one byte more.
  std::string line = "-N 1.2.3.4 -P pw 00 20 28 11";
  for (int i = 4; i < kMaxRequestBytes; ++i) line += " AB";
  std::vector<std::string> longest = Ipmitool(line);
  EXPECT_EQ(longest.size(), 11u + kMaxRequestBytes - 2);
  EXPECT_EQ(longest.back(), "0xab");
  EXPECT_EQ(Ipmitool(line + " AB"), kRefused);
}

}  // namespace
