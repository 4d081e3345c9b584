// Bad input from every side, end to end: odd replies, capture files that are
// empty, binary, huge or oddly cut, odd image.txt, missing files. Each must
// end with its message or box and exit code, start no flash where the flow
// stops before it, and leave image.txt and yes.txt as they were.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "e2e.h"
#include "stand-ins.h"

namespace {

struct BadInputCase {
  const char* name;
  std::string input;    // the operator's replies
  std::string state;    // bmcsim.txt
  std::string image;    // image.txt
  std::string raw;      // raw.bin, printed by icmd.exe where the state says
  const char* missing;  // a file taken out of the folder, or null
  int exitCode;
  std::string expected;    // after the banner
  int requests;            // icmd.exe runs
  std::string password;    // as the first request got it
  const char* flashImage;  // the flash program's last argument, or null: no flash
};

// Failure messages name the case.
void PrintTo(const BadInputCase& c, std::ostream* out) { *out << c.name; }

const char kRawState[] = "raw_output=raw.bin\nfirmware=09 16\nfault_scope=";
const char kFirstFruRequest[] = "00 20 28 11 00 00 00 10";
const std::string kVersionResponse =
    "respData[len=15]: 20 10 09 16 02 BF 7A 1B 00 01 0A 00 00 00 00";
// The same sixteen bytes for every block: byte 73h is CBh, a name of 11 bytes
// ("MIRTA kn300") follows from 74h.
const std::string kFruResponse =
    "respData[len=17]: 10 00 00 00 CB 4D 49 52 54 41 20 6B 6E 33 30 30 00";

// `size` (at least 65) random bytes that begin with NUL and CR, hold 1Ah
// and have no line end in their first 64 bytes.
std::string Binary(size_t size) {
  // A fixed seed on purpose: every run feeds the same bytes.
  std::mt19937 random(1);  // NOLINT(cert-msc32-c,cert-msc51-cpp)
  std::string bytes(size < 65 ? 65 : size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  for (size_t i = 0; i < 64; ++i) {
    if (bytes[i] == '\n' || bytes[i] == '\x1A') bytes[i] = '\x81';
  }
  bytes[0] = '\0';
  bytes[1] = '\r';
  bytes[64] = '\x1A';
  return bytes;
}

// `count` lines of 999 bytes and a line feed, none with a response.
std::string Lines(int count) {
  std::string line;
  while (line.size() < 999) line += "Completion Code: 00 ";
  line.resize(999);
  std::string all;
  for (int i = 0; i < count; ++i) all += line + "\n";
  return all;
}

// `line` filled with blanks to 999 bytes, and a line feed.
std::string Padded(const std::string& line) {
  return line + std::string(999 - line.size(), ' ') + "\n";
}

// A 259-byte line (all a line read takes in one go) that ends in the marker,
// with the columns read from the response's head put in place.
std::string MarkerLast(const std::string& response, size_t columns, size_t markerSize) {
  std::string line(259, '.');
  line.replace(line.size() - markerSize, markerSize, response.substr(0, markerSize));
  line.replace(markerSize, columns - markerSize, response.substr(markerSize, columns - markerSize));
  return line;
}

// A case with the usual files, the factory-default password and no flash.
BadInputCase Case(const char* name, const std::string& input, const std::string& state,
                  int exitCode, const std::string& expected, int requests) {
  return {name,     input,    state,    kImageLine,       "",     nullptr,
          exitCode, expected, requests, kFactoryPassword, nullptr};
}

// The replies reach at most the first FRU request, which gets no response.
BadInputCase Reply(const char* name, const std::string& input, int exitCode,
                   const std::string& expected, int requests = 0,
                   const std::string& password = kFactoryPassword) {
  BadInputCase c = Case(name, input, "fail_fru_at=1\n", exitCode, expected, requests);
  c.password = password;
  return c;
}

std::vector<BadInputCase> ReplyCases() {
  const std::string c = kConfirmPrompt, a = kAddressPrompts, s = kPasswordStatePrompt;
  const std::string p = kPasswordPrompts, addr = std::string(kBmcAddress) + "\n";
  const std::string nul(1, '\0'), x298(298, 'x'), fruMissing = kFruDataMissing + BoxText(kBox004);
  return {
      Reply("ConfirmationWithNul", nul + "y\nn\n", 255, c + c),
      Reply("AddressWithNul", "y\n127.100" + nul + "200.201\n", 1, c + a + BoxText(kBox001)),
      Reply("PasswordWithNul", "y\n" + addr + "n\npass" + nul + "word\n", 3,
            c + a + s + p + BoxText(kBox003)),
      // 300-byte lines: the rest must not answer the next prompt.
      Reply("ConfirmationLine300", "x" + x298 + "\nn\n", 255, c + c),
      Reply("AddressLine300", "y\n1" + x298 + "\n" + addr + "y\n", 1, c + a + BoxText(kBox001)),
      Reply("PasswordStateLine300", "y\n" + addr + "n" + x298 + "\nsecret\n", 4,
            c + a + s + p + fruMissing, 1, "secret"),
      Reply("PasswordLine300", "y\n" + addr + "n\n" + "p" + x298 + "\n", 3,
            c + a + s + p + BoxText(kBox003)),
      Reply("PasswordStateWithoutLineFeed", "y\n" + addr + "y", 4, c + a + s + fruMissing, 1),
      Reply("AddressWithRedirection", "y\n1.2.3.4>x\n", 1, c + a + BoxText(kBox001)),
      // A code page 932 lead byte would swallow the closing quote.
      Reply("PasswordEndingInLeadByte", "y\n" + addr + "n\npass\x81\n", 3,
            c + a + s + p + BoxText(kBox003)),
  };
}

// icmd.exe prints `raw` for the requests in `scope`; the BMC is at 09-16.
BadInputCase Capture(const char* name, const char* scope, const std::string& raw, int exitCode,
                     const std::string& expected, int requests) {
  BadInputCase c = Case(name, BmcInput(), kRawState + std::string(scope) + "\n", exitCode,
                        DialogueText() + expected, requests);
  c.raw = raw;
  return c;
}

std::vector<BadInputCase> CaptureCases() {
  const std::string current = RevisionLine("09-16") + BoxText(kBox005);
  const std::string unread = BoxText(kBox006), noFru = kFruDataMissing + BoxText(kBox004);
  const std::string dots(259, '.');
  return {
      Capture("VersionEmpty", "version", "", 6, unread, 17),
      Capture("VersionBinary", "version", Binary(65536), 6, unread, 17),
      Capture("Version10MB", "version", Lines(10240) + kVersionResponse + "\n", 5, current, 17),
      Capture("Version1000ByteLines", "version", Lines(3) + Padded(kVersionResponse) + Lines(3), 5,
              current, 17),
      Capture("VersionMarkerEndsLine", "version", MarkerLast(kVersionResponse, 29, 24) + "\n", 5,
              current, 17),
      Capture("VersionMarkerInRemainder", "version", dots + kVersionResponse + "\n", 6, unread, 17),
      Capture("FruEmpty", "fru", "", 4, noFru, 1),
      Capture("FruBinary", "fru", Binary(65536), 4, noFru, 1),
      Capture("Fru10MB", "fru", Lines(10240), 4, noFru, 1),
      Capture("Fru1000ByteLines", "fru", Lines(3) + Padded(kFruResponse) + Lines(3), 5, current,
              17),
      Capture("FruMarkerEndsFile", "fru", MarkerLast(kFruResponse, 68, 21), 5, current, 17),
      Capture("FruMarkerInRemainder", "fru", dots + kFruResponse + "\n", 4, noFru, 1),
  };
}

// image.txt and the files beside the tool; the BMC is a target at 09-12.
BadInputCase File(const char* name, const std::string& image, const char* missing,
                  const char* state, int exitCode, const std::string& expected, int requests,
                  const char* flashImage) {
  BadInputCase c = Case(name, BmcInput(), state, exitCode, DialogueText() + expected, requests);
  c.image = image;
  c.missing = missing;
  c.flashImage = flashImage;
  return c;
}

std::vector<BadInputCase> FileCases() {
  const std::string updated =
      RevisionLine("09-12") + FlashCountdownText() + RevisionLine("09-16") + BoxText(kSuccess);
  const char* const sets = "flash_sets=09 16\n";
  return {
      File("ImageBinary", Binary(4096), nullptr, "", 9, kImageNameTooLong, 0, nullptr),
      File("ImageFirstLine1000Bytes", std::string(1000, 'f') + "\n" + kImageLine, nullptr, "", 9,
           kImageNameTooLong, 0, nullptr),
      // Nothing checks an empty name: the flash program gets none.
      File("ImageEmpty", "", nullptr, "", 7,
           RevisionLine("09-12") + FlashCountdownText() + RevisionLine("09-12") + BoxText(kBox007),
           18, ""),
      File("ImageWithoutLineFeed", kImageName, nullptr, sets, 0, updated, 18, kImageName),
      File("YesMissing", kImageLine, "yes.txt", sets, 0, updated, 18, kImageName),
      // The redirection still makes an empty capture file.
      File("IcmdMissing", kImageLine, "icmd.exe", "", 4, kFruDataMissing + BoxText(kBox004), 0,
           nullptr),
  };
}

// The operator's file as written by the test, or the file absent.
void ExpectUnchanged(const std::string& folder, const char* name, const std::string& written,
                     bool absent) {
  std::string content;
  EXPECT_EQ(!absent, ReadFile(folder, name, &content)) << name;
  EXPECT_TRUE(content == written) << name << " was changed";
}

class BadInputTest : public testing::TestWithParam<BadInputCase> {};

TEST_P(BadInputTest, EndsClearlyAndKeepsOperatorFiles) {
  const BadInputCase& c = GetParam();
  std::string folder = PrepareBmcFolder(std::string("bad/") + c.name, c.state);
  WriteFile(folder, "image.txt", c.image);
  WriteFile(folder, "raw.bin", c.raw);
  bool noYes = c.missing != nullptr && std::string(c.missing) == "yes.txt";
  if (c.missing != nullptr) {
    ASSERT_EQ(0, std::remove((folder + "/" + c.missing).c_str())) << c.missing;
  }
  ToolRun run = RunTool(folder, c.input);
  if (c.exitCode == 9 || c.exitCode == 255) {
    ExpectPlainRun(run, c.exitCode, c.expected);
  } else {
    ExpectBoxRun(run, c.exitCode, c.expected);
  }

  std::vector<std::string> log = ReadLog(folder);
  std::vector<std::string> requests = LogLinesStartingWith(log, "icmd ");
  EXPECT_EQ(c.requests, static_cast<int>(requests.size()));
  if (!requests.empty()) {
    EXPECT_EQ(IcmdLogLine(kBmcAddress, c.password, kFirstFruRequest), requests[0]);
  }
  std::vector<std::string> flashes = LogLinesStartingWith(log, "flash ");
  EXPECT_EQ(c.flashImage != nullptr ? 1u : 0u, flashes.size()) << "flash runs";
  if (c.flashImage != nullptr && flashes.size() == 1) {
    std::string image = *c.flashImage != '\0' ? std::string(" [") + c.flashImage + "]" : "";
    EXPECT_EQ(std::string("flash [-force-boot] [-preserve-config] [-nw] [-ip] [") + kBmcAddress +
                  "] [-u] [] [-p] [" + kFactoryPassword + "]" + image,
              flashes[0]);
    std::string input;
    EXPECT_TRUE(ReadFile(folder, "yafuflash-stdin.bin", &input));
    EXPECT_EQ(noYes ? "" : kYes, input) << "the flash program's input";
  }
  ExpectUnchanged(folder, "image.txt", c.image, false);
  ExpectUnchanged(folder, "yes.txt", noYes ? "" : kYes, noYes);
}

// The case's name as the test's name.
std::string CaseName(const testing::TestParamInfo<BadInputCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Replies, BadInputTest, testing::ValuesIn(ReplyCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Captures, BadInputTest, testing::ValuesIn(CaptureCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Files, BadInputTest, testing::ValuesIn(FileCases()), CaseName);

}  // namespace
