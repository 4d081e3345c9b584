// The dialogue and the image name, end to end: every path that ends before
// the first BMC request, with the whole output and the exit code.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "e2e.h"

namespace {

struct DialogueCase {
  const char* name;
  std::string input;
  const char* image;  // the content of image.txt, or null for none
  int exitCode;
  std::string expected;  // everything after the banner, up to the pause
  bool pauses;           // ends with a box and the pause
};

// Failure messages name the case.
void PrintTo(const DialogueCase& c, std::ostream* out) { *out << c.name; }

// `text` written `times` times in a row.
std::string Repeat(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

const char kConfirmed[] = "y\n";
const char kAddress[] = "1.2.3.4\n";

// Replies up to the password prompt: confirmed, an address, own password.
std::string UpToPassword() { return std::string(kConfirmed) + kAddress + "n\n"; }

// The prompts up to the password prompt.
std::string PromptsUpToPassword() {
  return std::string(kConfirmPrompt) + kAddressPrompts + kPasswordStatePrompt + kPasswordPrompts;
}

// The confirmation: declines, the end of input, the 100 attempts.
std::vector<DialogueCase> DeclineCases() {
  const std::string c = kConfirmPrompt;
  return {
      {"Declined", "n\n", nullptr, 255, c, false},
      {"DeclinedByFirstByteOnly", "Nope, not now\n", nullptr, 255, c, false},
      {"EndOfInputAtConfirmation", "", nullptr, 255, c, false},
      {"EmptyReplyAskedAgain", "\nn\n", nullptr, 255, c + c, false},
      {"StillAskingAtHundredth", Repeat("maybe\n", 99) + "n\n", nullptr, 255, Repeat(c, 100),
       false},
      {"HundredUnrecognisedGoOn", Repeat("maybe\n", 100) + kAddress + "y\n", nullptr, 9,
       Repeat(c, 100) + kAddressPrompts + kPasswordStatePrompt + kImageMissing, false},
  };
}

// The address: length bounds, characters that must not reach a command line.
std::vector<DialogueCase> AddressCases() {
  const std::string asked = std::string(kConfirmPrompt) + kAddressPrompts;
  const std::string refused = asked + BoxText(kBox001);
  const std::string accepted = asked + kPasswordStatePrompt + kImageMissing;
  const std::string y = kConfirmed;
  return {
      {"AddressFiveCharacters", y + "1.2.3\n", nullptr, 1, refused, true},
      {"AddressSixteenCharacters", y + "192.168.100.2001\n", nullptr, 1, refused, true},
      {"AddressWithBlank", y + "192.168 .0.1\n", nullptr, 1, refused, true},
      {"AddressWithAmpersand", y + "1.2.3.4&x\n", nullptr, 1, refused, true},
      {"AddressWithPipe", y + "1.2.3.4|x\n", nullptr, 1, refused, true},
      {"EndOfInputAtAddress", y, nullptr, 1, refused, true},
      {"AddressSixCharacters", y + "1.2.34\ny\n", nullptr, 9, accepted, false},
      {"AddressFifteenCharacters", y + "192.168.100.200\ny\n", nullptr, 9, accepted, false},
      // A reply cut by the end of input keeps all its characters.
      {"AddressAtEndOfInput", y + "1.2.3.4", nullptr, 3,
       asked + kPasswordStatePrompt + BoxText(kBox003), true},
  };
}

// The typed password and the password-state question.
std::vector<DialogueCase> PasswordCases() {
  const std::string refused = PromptsUpToPassword() + BoxText(kBox003);
  const std::string accepted = PromptsUpToPassword() + kImageMissing;
  const std::string state = std::string(kConfirmPrompt) + kAddressPrompts + kPasswordStatePrompt;
  const std::string ask = UpToPassword();
  return {
      {"PasswordTwentyCharacters", ask + "abcdefghij0123456789\n", nullptr, 3, refused, true},
      {"PasswordWithDoubleQuote", ask + "pass\"word\n", nullptr, 3, refused, true},
      {"PasswordWithPercent", ask + "pa%PATH%ss\n", nullptr, 3, refused, true},
      {"PasswordWithBackslash", ask + "pass\\word\n", nullptr, 3, refused, true},
      {"PasswordWithDollar", ask + "pa$HOME\n", nullptr, 3, refused, true},
      {"PasswordWithBackquote", ask + "pa`id`ss\n", nullptr, 3, refused, true},
      {"PasswordWithTab", ask + "pass\tword\n", nullptr, 3, refused, true},
      {"EndOfInputAtPasswordState", std::string(kConfirmed) + kAddress, nullptr, 3,
       state + BoxText(kBox003), true},
      {"EndOfInputAtPassword", ask, nullptr, 3, refused, true},
      {"PasswordNineteenCharacters", ask + "abcdefghi0123456789\n", nullptr, 9, accepted, false},
      {"PasswordEmpty", ask + "\n", nullptr, 9, accepted, false},
      {"PasswordStateHundredUnrecognised", std::string(kConfirmed) + kAddress + Repeat("?\n", 100),
       nullptr, 9,
       std::string(kConfirmPrompt) + kAddressPrompts + Repeat(kPasswordStatePrompt, 100) +
           kImageMissing,
       false},
      {"PasswordStateNoAtHundredth",
       std::string(kConfirmed) + kAddress + Repeat("?\n", 99) + "n\nsecret\n", nullptr, 9,
       std::string(kConfirmPrompt) + kAddressPrompts + Repeat(kPasswordStatePrompt, 100) +
           kPasswordPrompts + kImageMissing,
       false},
  };
}

// image.txt: missing, and a first line too long for the image name.
std::vector<DialogueCase> ImageCases() {
  const std::string prompts = std::string(kConfirmPrompt) + kAddressPrompts + kPasswordStatePrompt;
  const std::string input = std::string(kConfirmed) + kAddress + "y\n";
  return {
      {"ImageFileMissing", input, nullptr, 9, prompts + kImageMissing, false},
      {"ImageNameTwentyBytes", input, "fw0916_abcdefghi.ima\n", 9, prompts + kImageNameTooLong,
       false},
      {"ImageNameTwentyBytesCrLf", input, "fw0916_abcdefghi.ima\r\n", 9,
       prompts + kImageNameTooLong, false},
      {"ImageNameTwentyBytesNoLineEnd", input, "fw0916_abcdefghi.ima", 9,
       prompts + kImageNameTooLong, false},
  };
}

class DialogueTest : public testing::TestWithParam<DialogueCase> {};

TEST_P(DialogueTest, EndsAsExpected) {
  const DialogueCase& c = GetParam();
  std::string folder = PrepareFolder(std::string("dialogue/") + c.name);
  CopyTool(folder);
  if (c.image != nullptr) WriteFile(folder, "image.txt", c.image);
  ToolRun run = RunTool(folder, c.input);
  if (c.pauses) {
    ExpectBoxRun(run, c.exitCode, c.expected);
  } else {
    ExpectPlainRun(run, c.exitCode, c.expected);
  }
}

// The case's name as the test's name.
std::string CaseName(const testing::TestParamInfo<DialogueCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Confirmation, DialogueTest, testing::ValuesIn(DeclineCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Address, DialogueTest, testing::ValuesIn(AddressCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Password, DialogueTest, testing::ValuesIn(PasswordCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(ImageName, DialogueTest, testing::ValuesIn(ImageCases()), CaseName);

}  // namespace
