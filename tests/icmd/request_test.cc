// icmd.exe's command line, and the ipmitool arguments made from it.
#include "icmd/request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Parses the words as icmd.exe's arguments (the program name is added).
int Parse(const std::vector<std::string>& words, IcmdRequest* request,
          std::vector<std::string>* storage) {
  *storage = words;
  storage->insert(storage->begin(), "icmd.exe");
  std::vector<char*> argv;
  for (std::string& word : *storage) argv.push_back(word.data());
  argv.push_back(nullptr);
  return ParseIcmdArguments(static_cast<int>(storage->size()), argv.data(), request);
}

// The line split at every blank (two blanks make an empty word).
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = line.find(' ', start);
    if (end == std::string::npos) end = line.size();
    words.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// The ipmitool arguments for a command line the tool writes, the password
// given separately (it may hold blanks).
std::vector<std::string> IpmitoolArguments(const std::string& head, const std::string& password,
                                           const std::string& bytes) {
  std::vector<std::string> words = Words(head);
  words.push_back(password);
  for (const std::string& byte : Words(bytes)) words.push_back(byte);
  IcmdRequest request;
  std::vector<std::string> storage;
  EXPECT_EQ(0, Parse(words, &request, &storage));
  IpmitoolCommand command;
  BuildIpmitoolCommand(&request, &command);
  std::vector<std::string> arguments;
  for (int i = 0; command.argv[i] != nullptr; ++i) arguments.push_back(command.argv[i]);
  return arguments;
}

// The whole vector: the password is never among ipmitool's arguments.
TEST(IcmdArguments, BecomeRawRequestsOverLanplus) {
  const std::vector<std::string> kHead = {"ipmitool", "-I", "lanplus", "-C", "3", "-H"};
  const struct {
    const char* bytes;
    std::vector<std::string> raw;  // after "raw"
  } kCases[] = {
      {"00 20 18 01", {"0x06", "0x01"}},
      {"00 20 18 02", {"0x06", "0x02"}},
      {"00 20 28 11 00 F0 00 10", {"0x0a", "0x11", "0x00", "0xf0", "0x00", "0x10"}},
      {"00 20 28 11 00 a0 00 10", {"0x0a", "0x11", "0x00", "0xa0", "0x00", "0x10"}},
      {"00 20 B8 FF", {"0x2e", "0xff"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.bytes);
    std::vector<std::string> expected = kHead;
    for (const char* word : {"192.168.0.10", "-U", "", "-E", "raw"}) expected.push_back(word);
    for (const std::string& word : c.raw) expected.push_back(word);
    EXPECT_EQ(expected, IpmitoolArguments("-N 192.168.0.10 -P", "TOLVE qs Family", c.bytes));
  }
}

TEST(IcmdArguments, KeepsAddressAndPasswordAsGiven) {
  IcmdRequest request;
  std::vector<std::string> storage;
  ASSERT_EQ(
      0, Parse({"-N", "fe80::1", "-P", "a \"b\" c", "00", "20", "28", "11", "00", "30", "00", "10"},
               &request, &storage));
  EXPECT_STREQ("fe80::1", request.address);
  EXPECT_STREQ("a \"b\" c", request.password);
  ASSERT_EQ(8, request.count);
  const unsigned char kBytes[] = {0x00, 0x20, 0x28, 0x11, 0x00, 0x30, 0x00, 0x10};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(kBytes[i], request.bytes[i]) << i;
}

TEST(IcmdArguments, RefuseEveryOtherForm) {
  const char* kRefused[] = {
      "-N 1.2.3.4 -P pw 00 20 18",      // no command byte
      "-N 1.2.3.4 -P pw",               // no request
      "-N 1.2.3.4 00 20 18 01",         // no -P
      "-P pw -N 1.2.3.4 00 20 18 01",   // options swapped
      "-n 1.2.3.4 -P pw 00 20 18 01",   // lower-case option
      "-N  -P pw 00 20 18 01",          // empty address
      "-N -H -P pw 00 20 18 01",        // an address ipmitool would take for an option
      "-N 1.2.3.4 -P pw 01 20 18 01",   // first byte not 00
      "-N 1.2.3.4 -P pw 00 22 18 01",   // another responder
      "-N 1.2.3.4 -P pw 00 20 19 01",   // LUN 1
      "-N 1.2.3.4 -P pw 00 20 1B 01",   // LUN 3
      "-N 1.2.3.4 -P pw 00 20 18 1",    // one digit
      "-N 1.2.3.4 -P pw 00 20 18 001",  // three digits
      "-N 1.2.3.4 -P pw 00 20 18 0x1",  // a prefix
      "-N 1.2.3.4 -P pw 00 20 18 G1",   // not hex
      "-N 1.2.3.4 -P pw 00 20 18 01 ",  // an empty byte
  };
  for (const char* line : kRefused) {
    SCOPED_TRACE(line);
    IcmdRequest request;
    std::vector<std::string> storage;
    EXPECT_EQ(-1, Parse(Words(line), &request, &storage));
  }
}

TEST(IcmdArguments, BoundTheRequestLength) {
  std::vector<std::string> words = {"-N", "1.2.3.4", "-P", "pw", "00", "20", "28", "11"};
  while (static_cast<int>(words.size()) - 4 < kMaxRequestBytes) words.push_back("AB");
  IcmdRequest request;
  std::vector<std::string> storage;
  ASSERT_EQ(0, Parse(words, &request, &storage));
  IpmitoolCommand command;
  BuildIpmitoolCommand(&request, &command);
  int count = 0;
  while (command.argv[count] != nullptr) ++count;
  EXPECT_EQ(11 + kMaxRequestBytes - 2, count);
  EXPECT_STREQ("0xab", command.argv[count - 1]);
  words.push_back("AB");
  EXPECT_EQ(-1, Parse(words, &request, &storage));
}

}  // namespace
