// The platform the logic's unit tests link instead of the real one: console,
// interpreter, sleeps, the flash thread and child are scripted and recorded;
// files are real, in the working directory the test chose.
#ifndef BMCUPDATE_TESTS_UNIT_FAKE_PLATFORM_H_
#define BMCUPDATE_TESTS_UNIT_FAKE_PLATFORM_H_

#include <cstddef>
#include <string>
#include <vector>

// What the interpreter leaves in the file of a command's "> NAME".
struct Capture {
  bool written;  // false: the redirection created no file
  std::string content;
};

// Everything the fake serves and records; reset by assigning FakePlatform{}.
struct FakePlatform {
  std::string input;  // standard input, served byte by byte
  std::size_t inputAt = 0;
  std::vector<Capture> captures;      // one per interpreter command, in order
  std::string transcript;             // every console write
  std::vector<std::string> commands;  // interpreter command lines, in order
  std::vector<std::size_t> sleeps;    // transcript size at each sleep
  int pauses = 0;
  int threads = 0;                                      // bodies run by StartDetachedThread
  std::vector<std::string> childCommands, childInputs;  // of RunChildWithInput
  std::vector<std::string> deletions;                   // of DeleteNamedFile, in order
};

// The one fake of the test process.
extern FakePlatform g_fake;

#endif  // BMCUPDATE_TESTS_UNIT_FAKE_PLATFORM_H_
