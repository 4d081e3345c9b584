// The unit tests' fake platform (console, interpreter, sleeps, the flash
// thread and child scripted and recorded; files real, in a fresh folder per
// test) and the icmd.exe captures the tests script.
#ifndef BMCUPDATE_TESTS_UNIT_UNIT_H_
#define BMCUPDATE_TESTS_UNIT_UNIT_H_

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What the interpreter leaves in the file of a command's "> NAME"; nullopt
// when the redirection created no file.
using Capture = std::optional<std::string>;

// Everything the fake serves and records; reset by assigning FakePlatform{}.
struct FakePlatform {
  std::string input;                  // standard input, served byte by byte
  std::vector<Capture> captures;      // one per interpreter command, in order
  std::string transcript;             // every console write
  std::vector<std::string> commands;  // interpreter command lines, in order
  std::vector<std::size_t> sleeps;    // transcript size at each sleep
  int threads = 0;                    // bodies run by StartDetachedThread
  std::vector<std::string> children;  // "COMMAND < INPUT" of each RunChildWithInput
};

// The one fake of the test process.
extern FakePlatform g_fake;

// Runs each test in a fresh temporary folder, with the fake and
// UpdateSettings cleared.
class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path previous_, folder_;
};

// Writes `bytes` to a file of the working folder.
void WriteFile(const std::string& name, const std::string& bytes);

// A Get Device ID capture with the firmware revision bytes `revision` ("09 16").
std::string VersionCapture(const std::string& revision);

// How one FRU capture is spoiled.
enum FruFault { kFruGood, kFruNoMarker, kFruNoFile, kFruShort, kFruMidLine, kFruCrLf, kFru1A };

// The sixteen Read FRU Data captures of a FRU whose type/length byte at 73h
// is `typeLength`, with `name` from 74h and every other byte its own offset;
// the capture of block `faultBlock` spoiled by `fault`.
std::vector<Capture> FruCaptures(int typeLength, const std::string& name, int faultBlock = -1,
                                 FruFault fault = kFruGood);

#endif  // BMCUPDATE_TESTS_UNIT_UNIT_H_
