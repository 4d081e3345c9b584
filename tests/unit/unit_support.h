// Shared by the unit tests: a fresh working folder per test, and the capture
// files that icmd.exe would leave there.
#ifndef BMCUPDATE_TESTS_UNIT_UNIT_SUPPORT_H_
#define BMCUPDATE_TESTS_UNIT_UNIT_SUPPORT_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/unit/fake_platform.h"

// Runs each test in a new temporary working folder, with the fake platform
// and UpdateSettings cleared.
class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path folder_, previous_;
};

// Writes `bytes` to a file of the working folder.
void WriteFile(const char* name, const std::string& bytes);
// `text` repeated `times` times.
std::string Repeat(const std::string& text, int times);
// A capture file holding `content`, and a redirection that created none.
Capture Output(const std::string& content);
Capture NoFile();
// A Get Device ID capture whose firmware revision bytes are `revision`
// ("09 16"), among chatter.
Capture VersionCapture(const std::string& revision);

// How one FRU capture is spoiled.
enum FruFault { kFruGood, kFruNoMarker, kFruNoFile, kFruShort, kFruMidLine, kFruCrLf, kFru1A };

// The sixteen Read FRU Data captures of a FRU whose type/length byte at 73h
// is `typeLength`, with `name` from 74h and every other byte its own offset;
// the capture of block `faultBlock` spoiled by `fault`.
std::vector<Capture> FruCaptures(int typeLength, const std::string& name, int faultBlock = -1,
                                 FruFault fault = kFruGood);

#endif  // BMCUPDATE_TESTS_UNIT_UNIT_SUPPORT_H_
