// The tool end to end against the simulated BMC, from one table: what the
// operator types, what the BMC and the folder hold, and what must come of
// it: exit code, the whole console transcript, the requests made, the flash
// program's arguments and input, and the files left behind.
#include "e2e.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using std::string;
const char kAddr[] = "127.100.200.201";
const char kFactory[] = "TOLVE qs Family";
const char kImage[] = "BMC_fw_0916_rel.ima\r\n";
const char kYes[] = "y\r\ny\r\nY\r\n";
const char kUpdate[] = "c a s r0912 f r0916 b0";

struct Case {
  const char* name;
  string input;  // the operator's replies
  string state;  // bmcsim.txt, and changes to the folder
  int exitCode;
  const char* expected;  // transcript tokens (see Piece in harness.cc)
  const char* requests;  // F Read FRU Data, A all sixteen, V Get Device ID, R Cold Reset, X flash
  string raw{};          // raw.bin, for raw_output=
  string image = kImage;
  const char* address = kAddr;
  const char* password = kFactory;
};

string operator*(const string& text, int times) {
  string all;
  while (times-- > 0) all += text;
  return all;
}

// `size` random bytes from a fixed seed that begin with NUL, CR and hold 1Ah.
string Binary(size_t size) {
  std::mt19937 random(1);  // NOLINT(cert-msc32-c,cert-msc51-cpp): the same bytes every run
  string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes.replace(0, 2, string("\0\r", 2)).replace(64, 1, "\x1A");
}

const string kGo = string("y\n") + kAddr + "\ny\n";
const string kOwn = string("y\n") + kAddr + "\nn\n";
const string kNul(1, '\0');
const string kLong = string("x") * 298;
const string kFiller = string("Completion Code: 00 ") * 50 + "\n";
const string kVersionLine = "respData[len=15]: 20 10 09 16 02 BF 7A 1B 00 01 0A 00 00 00 00";
const string kFruLine = "respData[len=17]: 10 00 00 00 CB 4D 49 52 54 41 20 6B 6E 33 30 30 00";
const char kRawVersion[] = "raw_output=raw.bin\nfirmware=09 16\nfault_scope=version\n";
const char kRawFru[] = "raw_output=raw.bin\nfirmware=09 16\nfault_scope=fru\n";

// A 259-byte line that ends in the marker, with the values read where a
// response line has them.
string MarkerLast(const string& line, size_t columns, size_t marker) {
  return string(marker, '.') + line.substr(marker, columns - marker) +
         string(259 - columns - marker, '.') + line.substr(0, marker);
}

// Rows in one line each: name, replies, bmcsim.txt (where a line "-NAME"
// also removes a file from the folder and "/NAME" puts a folder in its
// place), exit code, transcript, requests; some rows add raw.bin, image.txt,
// and the address and password icmd.exe must get.
std::vector<Case> Cases() {
  const char* noFru = "c a s m12 b4";
  const char* noVersion = "c a s b6";
  const char* current = "c a s r0916 b5";
  const char* failFru = "fail_fru_at=1\n";
  // clang-format off
  return {
      {"Declined", "Nope\n", "", 255, "c", ""},
      {"EndOfInputAtConfirmation", "", "", 255, "c", ""},
      {"AskedAgainAfterEmptyAndNul", "\n" + kNul + "y\nn\n", "", 255, "c c c", ""},
      {"HundredthConfirmation", string("maybe\n") * 99 + "n\n", "", 255, "c*100", ""},
      {"HundredUnrecognisedGoOn", string("?\n") * 100 + "1.2.34\ny\n", "-image.txt\n", 9, "c*100 a s m9", ""},
      {"RestOfLongLineSkippedPastNul", "x" + kLong.substr(10) + kNul + "xx\nn\n", "", 255, "c c", ""},
      {"AddressFiveBytes", "y\n1.2.3\n", "", 1, "c a b1", ""},
      {"AddressSixteenBytes", "y\n192.168.100.2001\n", "", 1, "c a b1", ""},
      {"AddressBlank", "y\n192.168 .0.1\n", "", 1, "c a b1", ""},
      {"AddressMetacharacters", "y\n1.2.3.4&x|y>z\n", "", 1, "c a b1", ""},
      {"AddressNul", "y\n127.100" + kNul + "200.201\n", "", 1, "c a b1", ""},
      {"AddressLongLine", "y\n1" + kLong + "\n" + kGo.substr(2), "", 1, "c a b1", ""},
      {"EndOfInputAtAddress", "y\n", "", 1, "c a b1", ""},
      {"AddressAtEndOfInput", "y\n1.2.3.4", "", 3, "c a s b3", ""},
      {"EndOfInputAtPasswordState", kGo.substr(0, kGo.size() - 2), "", 3, "c a s b3", ""},
      {"EndOfInputAtPassword", kOwn, "", 3, "c a s p b3", ""},
      {"PasswordTwentyBytes", kOwn + "abcdefghij0123456789\n", "", 3, "c a s p b3", ""},
      {"PasswordQuote", kOwn + "pass\"word\n", "", 3, "c a s p b3", ""},
      {"PasswordPercent", kOwn + "pa%PATH%ss\n", "", 3, "c a s p b3", ""},
      {"PasswordBackslash", kOwn + "pass\\word\n", "", 3, "c a s p b3", ""},
      {"PasswordDollar", kOwn + "pa$HOME\n", "", 3, "c a s p b3", ""},
      {"PasswordBackquote", kOwn + "pa`id`ss\n", "", 3, "c a s p b3", ""},
      {"PasswordTab", kOwn + "pass\tword\n", "", 3, "c a s p b3", ""},
      {"PasswordLeadByte", kOwn + "pass\x81\n", "", 3, "c a s p b3", ""},
      {"PasswordNul", kOwn + "pass" + kNul + "word\n", "", 3, "c a s p b3", ""},
      {"PasswordLongLine", kOwn + "p" + kLong + "\n", "", 3, "c a s p b3", ""},
      // What was typed reaches icmd.exe as typed, each as one argument.
      {"PasswordMetacharacters", "y\n1.2.34\nn\nP w&|<>^()!'#,;=@~1\n", failFru, 4, "c a s p m12 b4", "F", "", kImage, "1.2.34", "P w&|<>^()!'#,;=@~1"},
      {"PasswordEmpty", "y\nbmc-01.lab\nn\n\n", failFru, 4, "c a s p m12 b4", "F", "", kImage, "bmc-01.lab", ""},
      {"PasswordAtEndOfInput", "y\nfe80::1\nn\nsecret", failFru, 4, "c a s p m12 b4", "F", "", kImage, "fe80::1", "secret"},
      {"PasswordStateLongLine", kOwn.substr(0, kOwn.size() - 1) + kLong + "\nsecret\n", failFru, 4, "c a s p m12 b4", "F", "", kImage, kAddr, "secret"},
      {"PasswordStateUnanswered", kOwn.substr(0, kOwn.size() - 2) + string("?\n") * 100, failFru, 4, "c a s*100 m12 b4", "F", "", kImage, kAddr, ""},
      {"PasswordStateWithoutLineFeed", kGo.substr(0, kGo.size() - 1), failFru, 4, noFru, "F"},
      {"ImageMissing", kGo, "-image.txt\n", 9, "c a s m9", ""},
      {"ImageTwentyBytes", kGo, "", 9, "c a s mL", "", "", "fw0916_abcdefghi.ima\r\n"},
      {"ImageTwentyBytesAtEnd", kGo, "", 9, "c a s mL", "", "", "fw0916_abcdefghi.ima"},
      {"ImageBinary", kGo, "", 9, "c a s mL", "", "", Binary(4096)},
      {"ImageEmpty", kGo, "", 7, "c a s r0912 f r0912 b7", "AVXV", "", ""},
      {"ImageWithoutLineFeed", kGo, "flash_sets=09 16\n", 0, kUpdate, "AVXV", "", "BMC_fw_0916_rel.ima"},
      {"OtherModelCase", kGo, "product=MIRTA KN300\n", 4, "c a s b4", "A"},
      {"OddModelName", kGo, "product=MIRTA\tkn\x01\xE3\n", 4, "c a s b4", "A"},
      {"PrefixOfModel", kGo, "product=QX5200-kn/KN2\n", 4, "c a s b4", "A"},
      {"FruCaptureIsFolder", kGo, "/fru.txt\n", 4, "c a s m11 b4", ""},
      {"TenthFruMissing", kGo, "fail_fru_at=10\n", 4, noFru, "FFFFFFFFFF"},
      {"FruTruncated", kGo, "fault=truncated\nfault_scope=fru\n", 4, noFru, "F"},
      {"FruCtrlZ", kGo, "fault=ctrlz\nfault_scope=fru\n", 4, noFru, "F"},
      {"FruEmpty", kGo, kRawFru, 4, noFru, "F", ""},
      {"FruBinary", kGo, kRawFru, 4, noFru, "F", Binary(65536)},
      {"Fru10MB", kGo, kRawFru, 4, noFru, "F", kFiller * 10240},
      {"Fru1000ByteLines", kGo, kRawFru, 5, current, "AV", kFiller + kFruLine + string(931, ' ') + "\n" + kFiller},
      {"FruMarkerEndsFile", kGo, kRawFru, 5, current, "AV", MarkerLast(kFruLine, 68, 21)},
      {"FruMarkerInRest", kGo, kRawFru, 4, noFru, "F", string(259, '.') + kFruLine + "\n"},
      {"IcmdMissing", kGo, "-icmd.exe\n", 4, noFru, ""},
      {"Current", kGo, "product=QX5200-kn/KN20\nfirmware=09 16\n", 5, current, "AV"},
      {"Newer", kGo, "product=MIRTA vn300\nfirmware=09 17\nfault=crlf\n", 5, "c a s r0917 b5", "AV"},
      {"Unknown0913", kGo, "firmware=09 13\n", 6, "c a s r0913 b6", "AV"},
      {"BusyBeforeUpdate", kGo, "firmware=8A 16\n", 6, "c a s r8A16 b6", "AV"},
      {"OtherDeviceRevision", kGo, "device_revision=11\n", 6, noVersion, "AV"},
      {"VersionTruncated", kGo, "fault=truncated\nfault_scope=version\n", 6, noVersion, "AV"},
      {"VersionCtrlZ", kGo, "fault=ctrlz\nfault_scope=version\n", 6, noVersion, "AV"},
      {"VersionCaptureIsFolder", kGo, "/version.txt\n", 6, "c a s m10 b6", "A"},
      {"VersionEmpty", kGo, kRawVersion, 6, noVersion, "AV", ""},
      {"VersionBinary", kGo, kRawVersion, 6, noVersion, "AV", Binary(65536)},
      {"Version10MB", kGo, kRawVersion, 5, current, "AV", kFiller * 10240 + kVersionLine + "\n"},
      {"VersionMarkerEndsLine", kGo, kRawVersion, 5, current, "AV", MarkerLast(kVersionLine, 29, 24) + "\n"},
      {"VersionMarkerInRest", kGo, kRawVersion, 6, noVersion, "AV", string(259, '.') + kVersionLine + "\n"},
      {"Updated", kGo, "flash_sets=09 16\n", 0, kUpdate, "AVXV"},
      // A run log that cannot be written changes nothing.
      {"RunLogIsFolder", kGo, "flash_sets=09 16\n/bmcupdate.log\n", 0, kUpdate, "AVXV"},
      {"UpdatedAfterColdReset", kGo, "flash_sets=89 16\nafter_reset=09 16\n", 0, "c a s r0912 f r8916 z r0916 b0", "AVXVRV"},
      {"StillBusyAfterColdReset", kGo, "flash_sets=89 16\n", 8, "c a s r0912 f r8916 z r8916 b8", "AVXVRV"},
      {"NewerAfterFlash", kGo, "flash_sets=09 17\n", 7, "c a s r0912 f r0917 b7", "AVXV"},
      {"FlashMissing", kGo, "flash_sets=09 16\n-Yafuflash.exe\n", 7, "c a s r0912 f r0912 b7", "AVV"},
      {"YesMissing", kGo, "flash_sets=09 16\n-yes.txt\n", 0, kUpdate, "AVXV"},
      // The revision is read when the countdown ends, not when the flash ends.
      {"FlashSlowerThanCountdown", kGo, "flash_sets=09 16\nflash_delay_ms=1500\n", 7, "c a s r0912 f r0912 b7", "AVXV"},
  };
  // clang-format on
}

// The requests in bmcsim.log, one letter each, checking the address and
// password of every icmd.exe request on the way.
string Requests(const string& log, const Case& c) {
  string letters, line;
  const string head = string("icmd [-N] [") + c.address + "] [-P] [" + c.password + "] ";
  std::istringstream lines(log);
  while (std::getline(lines, line)) {
    if (line.rfind("flash ", 0) == 0) letters += 'X';
    if (line.rfind("icmd ", 0) != 0) continue;
    EXPECT_EQ(head, line.substr(0, head.size()));
    letters += line.find("[28] [11]") != string::npos   ? 'F'
               : line.find("[18] [02]") != string::npos ? 'R'
                                                        : 'V';
  }
  size_t all = letters.find(string("F") * 16);
  return all == string::npos ? letters : letters.replace(all, 16, "A");
}

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

// bmcupdate.log's line after the start time, for the cases that check it.
const char* const kRunLogLines[][2] = {
    {"Updated", "\t127.100.200.201\tMIRTA kn300\t09-12\t09-16\t0\tupdated\n"},
    {"OddModelName", "\t127.100.200.201\tMIRTA?kn??\t\t\t4\tnot-target\n"},
    {"TenthFruMissing", "\t127.100.200.201\t\t\t\t4\tnot-target\n"},
    {"Current", "\t127.100.200.201\tQX5200-kn/KN20\t09-16\t\t5\talready-current\n"},
    {"OtherDeviceRevision", "\t127.100.200.201\tMIRTA kn300\t\t\t6\tversion-unknown\n"},
    {"StillBusyAfterColdReset", "\t127.100.200.201\tMIRTA kn300\t09-12\t89-16\t8\tstill-busy\n"},
};

// Only runs that reached the BMC leave a line; some cases check it whole.
void ExpectRunLog(const string& folder, const Case& c) {
  bool reached = c.exitCode == 0 || (c.exitCode >= 4 && c.exitCode <= 8);
  EXPECT_EQ(reached, std::filesystem::exists(folder + "/bmcupdate.log"));
  string log = ReadFile(folder, "bmcupdate.log");
  const string head = TextLines("started\taddress\tmodel\tbefore\tafter\texit\toutcome\n");
  for (const auto& line : kRunLogLines) {
    if (string(c.name) != line[0]) continue;
    // The header, the start time as YYYY-MM-DD HH:MM:SS, then the fields.
    string stamp = log.substr(0, head.size() + 19);
    for (size_t at = head.size(); at < stamp.size(); ++at)
      stamp[at] = stamp[at] >= '0' && stamp[at] <= '9' ? 'd' : stamp[at];
    EXPECT_EQ(head + "dddd-dd-dd dd:dd:dd", stamp);
    EXPECT_EQ(TextLines(line[1]), log.substr(stamp.size()));
  }
}

class EndToEnd : public testing::TestWithParam<Case> {};

TEST_P(EndToEnd, Run) {
  const Case& c = GetParam();
  const string folder = PrepareFolder(c.name), tokens = c.expected;
  CopyProgram(folder, E2E_ICMD_PATH, "icmd.exe");
  CopyProgram(folder, E2E_FLASH_PATH, "Yafuflash.exe");
  for (const auto& file : {std::pair<string, string>{"image.txt", c.image},
                           {"yes.txt", kYes},
                           {"bmcsim.txt", c.state},
                           {"raw.bin", c.raw}}) {
    WriteFile(folder, file.first, file.second);
  }
  std::istringstream changes(c.state);
  for (string line; std::getline(changes, line);) {
    if (line[0] == '-') std::filesystem::remove(folder + "/" + line.substr(1));
    if (line[0] == '/') std::filesystem::create_directory(folder + line);
  }
  auto removed = [&](const string& name) {
    return c.state.find("-" + name + "\n") != string::npos;
  };
  ToolRun run = RunTool(folder, c.input);

  EXPECT_EQ(c.exitCode, run.exitCode);
  EXPECT_TRUE(run.lineEndsRight) << "a line feed did not arrive as CR LF";
  ExpectTranscript(run, tokens);
  const string log = ReadFile(folder, "bmcsim.log"),
               image = c.image.substr(0, c.image.find_first_of("\r\n"));
  EXPECT_EQ(c.requests, Requests(log, c));
  if (string(c.requests).find('X') != string::npos) {
    // Its arguments one by one, yes.txt as input, and out of the reach of Ctrl+C.
    EXPECT_NE(string::npos,
              log.find(string("flash [-force-boot] [-preserve-config] [-nw] [-ip] [") + c.address +
                       "] [-u] [] [-p] [" + c.password + "]" +
                       (image.empty() ? "" : " [" + image + "]") + "\n"));
    EXPECT_EQ(removed("yes.txt") ? "" : kYes, ReadFile(folder, "yafuflash-stdin.bin"));
    EXPECT_NE(string::npos, log.find("flash-shielded yes\n"));
    EXPECT_TRUE(
        !E2E_WINDOWS ||
        log.find(string("flash-cmdline Yafuflash.exe -force-boot -preserve-config -nw -ip ") +
                 c.address + " -u \"\" -p \"" + c.password + "\" " + image + "\n") != string::npos)
        << log;
  }
  // A capture stays only after it could not be read.
  const auto revisions = std::count(tokens.begin(), tokens.end(), 'r');
  const auto queries = std::count(c.requests, c.requests + std::strlen(c.requests), 'V');
  EXPECT_EQ(tokens.find("m11") != string::npos || tokens.find("m12") != string::npos,
            std::filesystem::exists(folder + "/fru.txt"));
  EXPECT_EQ(tokens.find("m10") != string::npos || revisions < queries,
            std::filesystem::exists(folder + "/version.txt"));
  EXPECT_FALSE(!E2E_WINDOWS && std::filesystem::exists(folder + "/nul"));
  EXPECT_EQ(removed("image.txt") ? "<none>" : c.image, ReadFile(folder, "image.txt"));
  EXPECT_EQ(removed("yes.txt") ? "<none>" : kYes, ReadFile(folder, "yes.txt"));
  EXPECT_EQ(string::npos, (run.output + ReadFile(folder, "stderr.txt")).find("Yafuflash"));
  ExpectRunLog(folder, c);
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEnd, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<Case>& param) {
                           return param.param.name;
                         });

// The pause prompt is on the console while the tool waits for the key.
TEST(Pause, PromptShownBeforeTheKey) {
  if (E2E_WINDOWS) GTEST_SKIP() << "the interpreter's own pause";
  string folder = PrepareFolder("Pause");
  std::FILE* tool = StartTool(folder, "y\n1.2\n");
  EXPECT_TRUE(WaitForOutput(folder, "続行するには何かキーを押してください"));
  EXPECT_EQ(1, FinishTool(folder, tool).exitCode);
}

// A second run from the folder of a running one stops before its first
// question and leaves the first run alone; once that ends, runs go on.
TEST(Lock, OneRunPerFolder) {
  string folder = PrepareFolder("Lock");
  std::FILE* first = StartTool(folder, "");
  ASSERT_TRUE(WaitForOutput(folder, "[y/n]"));
  ToolRun second = RunTool(folder, "n\n", "2");
  EXPECT_EQ(13, second.exitCode);
  ExpectTranscript(second, "m13");
  std::fputs("n\n", first);
  ToolRun ended = FinishTool(folder, first);
  EXPECT_EQ(255, ended.exitCode);
  ExpectTranscript(ended, "c");
  EXPECT_EQ(255, RunTool(folder, "n\n", "3").exitCode);
}

}  // namespace
