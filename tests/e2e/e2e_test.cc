// The tool end to end against the simulated BMC, from one table: input, BMC and folder, and then
// exit code, whole transcript, requests, the flash program's arguments and input, files left. Both
// builds run it; the Windows one under Wine (CP932, CR LF). Paths are relative.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using std::string;

// What one run of the tool left behind.
struct ToolRun {
  int exitCode;   // the exit code; 256 + the signal that ended it
  string output;  // standard output with CR LF read back as LF
};

const bool kWindows = E2E_WINDOWS;

// Display columns of one line as the console shows it. CP932: a byte a column. UTF-8: a lead byte
// two (the tool writes only double-width characters), continuation bytes none.
int DisplayColumns(const string& line) {
  int columns = 0;
  for (char c : line) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20) columns += kWindows || byte < 0x80 ? 1 : (byte >= 0xC0 ? 2 : 0);
  }
  return columns;
}

// `count` lines of a countdown or wait `format`, for `first`, `first` + `step`...
string Lines(const char* format, int first, int count, int step) {
  string text;
  char line[128];
  for (int n = first; count-- > 0; n += step) {
    std::snprintf(line, sizeof line, format, n / 60, n % 60);
    text += line;
  }
  return text;
}

// A box or banner line: the text after three blanks, filled to 50 columns.
string Framed(const string& text) {
  string line = "*   " + text;
  return line + string(static_cast<size_t>(49 - DisplayColumns(line)), ' ') + "*\n";
}

const string kBorder = string(50, '*') + "\n";
const string kBlank = Framed("");

// clang-format off
// Box N (0: success): its two lines, and whether it asks to call for help.
string Box(int n) {
  static const char* const kFirst[] = {"正常にBMCのアップデートが完了しました", "[001] IPアドレス入力エラー", "",
      "[003] BMCパスワード入力エラー", "[004] 対象機種ではありません", "[005] BMCは最新バージョンです",
      "[006] BMCバージョンエラー", "[007] BMCバージョンエラー", "[008] BMCバージョンエラー"};
  const char* second = n == 0 ? "BMCのバージョンは09-16です" : n == 4 ? "本装置と対象機種を再度、確認してください"
                       : n == 5 ? "BMCをアップデートする必要はありません" : "もう一度、最初からやり直してください";
  const string help = "結果が変わらない場合はお問い合わせ先に連絡してください\n";
  return "\n" + kBorder + kBlank + Framed(kFirst[n]) + Framed(second) + kBlank + kBorder +
         (n == 6 ? "\n" + help : n > 6 ? help : "") + "アップデートツールを終了します\n";
}

// One token: c a s p the prompts, rXXYY a revision line, f and z the flash and reset countdowns
// (fw: and the `waits` lines of a wait for the flash), bN box N, mN the message line
// [00N] (mL, mI, mF: name too long, not valid, no image file; m16i, m16f, m16w: no icmd.exe, no
// Yafuflash.exe, folder not writable).
string Piece(const string& token, int waits) {
  if (token[0] == 'r') return "\nBMCバージョン : " + token.substr(1, 2) + "-" + token.substr(3) + "\n";
  if (token[0] == 'b') return Box(token[1] - '0');
  if (token[0] == 'f') {
    waits = token == "f" ? 0 : std::clamp(waits, 1, 1799);
    return "\n" + Lines("BMCアップデート中です（残り時間＝%02d:%02d）\r", 300, 300, -1) +
           Lines("BMCアップデートの終了を待っています（経過時間＝%02d:%02d）\r", 1, waits, 1) + "\n";
  }
  if (token == "z") return Lines("BMC再起動中です（残り時間＝%02d:%02d）\r", 90, 90, -1) + "\n";
  const char* const kTexts[][2] = {
      {"c", "\nBMCのファームウェアを更新しますか？ [y/n] : "},
      {"a", "\nアップデート対象機のBMCに設定されているIPアドレスを入力してください。\n\nBMC IPアドレス : "},
      {"s", "\nアップデート対象機のBMCパスワードは工場出荷状態ですか？ [y/n] : "},
      {"p", "\nBMCパスワードを入力してください。\n\nBMCパスワード : "},
      {"m9", "[009] image.txt cannot be opened.\n"},
      {"mL", "[009] image name in image.txt is too long.\n"},
      {"mI", "[009] image name in image.txt is not valid.\n"},
      {"m10", "[010] version.txt cannot be opened.\n"},
      {"m11", "[011] fru.txt cannot be opened.\n"},
      {"m12", "[012] FRU DATA cannot be gotten.\n"},
      {"m13", "[013] another update is running from this folder.\n"},
      {"m15", "[015] Yafuflash.exe cannot be started.\n"},
      {"mF", "[009] image file named in image.txt is missing or empty.\n"},
      {"m16i", "[016] icmd.exe cannot be found.\n"},
      {"m16f", "[016] Yafuflash.exe cannot be found.\n"},
      {"m16w", "[016] the tool's folder cannot be written.\n"},
      {"m17", "[017] another update of this BMC is running on this PC.\n"}};
  // clang-format on
  for (const auto& text : kTexts) {
    if (token == text[0]) return text[1];
  }
  ADD_FAILURE() << "no token " << token;
  return "";
}

// Checks the output: the banner, `tokens` spelt out by Piece ("c*100": a hundred times), the pause
// prompt where a box ends the run, nothing else.
void ExpectTranscript(const ToolRun& run, const string& tokens) {
  string text = kBorder + kBlank + Framed("BMCファームウェアアップデート（09-16）") + kBlank + "*" +
                string(20, ' ') + "2026/12/06 (株)Varnholtek   *\n" + kBorder;
  // A wait for the flash lasts as long as the flash: its lines are counted, then checked.
  int waits = 0;
  for (size_t at = 0; (at = run.output.find("（経過時間＝", at)) != string::npos; ++at) ++waits;
  std::istringstream words(tokens);
  for (string token; words >> token;) {
    size_t star = token.find('*');
    int times = star == string::npos ? 1 : std::stoi(token.substr(star + 1));
    for (int i = 0; i < times; ++i) text += Piece(token.substr(0, star), waits);
  }
  size_t same = 0;
  while (same < text.size() && same < run.output.size() && text[same] == run.output[same]) ++same;
  EXPECT_EQ(text.size(), same) << "differs after: " << text.substr(same < 80 ? 0 : same - 80, 80);
  // A box ends with the pause: the tool's own prompt, or the interpreter's (one line).
  string tail = run.output.substr(same);
  bool box = tokens.find('b') != string::npos;
  EXPECT_TRUE(kWindows && box
                  ? !tail.empty() && tail.find('\n') >= tail.size() - 1
                  : tail == (box ? "続行するには何かキーを押してください . . . \n" : ""))
      << tail;
  for (size_t at = 0, end; (end = run.output.find('\n', at)) != string::npos; at = end + 1) {
    string line = run.output.substr(at, end - at);
    EXPECT_TRUE(line[0] != '*' || DisplayColumns(line) == 50) << line;
  }
}

// `text` with its line ends as the platform's text files have them.
string TextLines(string text) {
  for (size_t at = 0; kWindows && (at = text.find('\n', at)) != string::npos; at += 2) {
    text.insert(at, "\r");
  }
  return text;
}

// Writes `content` byte for byte into folder/name.
void WriteFile(const string& folder, const string& name, const string& content) {
  std::ofstream(folder + "/" + name, std::ios::binary) << content;
}

// folder/name whole, or "<none>" when it is no file that can be read.
string ReadFile(const string& folder, const string& name) {
  std::ifstream file(folder + "/" + name, std::ios::binary);
  bool readable = file && fs::is_regular_file(folder + "/" + name);
  return readable ? string(std::istreambuf_iterator<char>(file), {}) : "<none>";
}

// Empties (or makes) work/<name> with the tool, the simulated BMC in `state`, the image name and
// yes.txt in it, and returns its path.
string PrepareFolder(const string& name, const string& state = "", const string& image = "") {
  string folder = "work/" + name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const auto& program : {std::pair<const char*, const char*>{E2E_TOOL_PATH, E2E_TOOL_NAME},
                              {E2E_ICMD_PATH, "icmd.exe"},
                              {E2E_FLASH_PATH, "Yafuflash.exe"}}) {
    EXPECT_TRUE(fs::copy_file(program.first, folder + "/" + program.second)) << program.first;
  }
  WriteFile(folder, "bmcsim.txt", state);
  WriteFile(folder, "image.txt", image);
  // The image file, as an operator's folder holds it.
  const string named = image.rfind("\xEF\xBB\xBF", 0) == 0 ? image.substr(3) : image;
  const string file = named.substr(0, named.find_first_of(string("\r\n\0", 3)));
  if (!file.empty()) WriteFile(folder, file, "simulated firmware image\n");
  WriteFile(folder, "yes.txt", "y\r\ny\r\nY\r\n");
  return folder;
}

// What gives the tool `folder` as the user's temporary folder, where it locks the BMC, so that rows
// of one address that run at once keep apart: TMPDIR on POSIX; on Windows
// TMP and TEMP set in the interpreter (Wine takes them from its registry, not from Unix).
string TempFolder(const string& folder) {
  const string path = fs::absolute(folder).string();
  if (!kWindows) return "export TMPDIR='" + path + "' && ";
  return "set \"TMP=" + path + "\" && set \"TEMP=" + path + "\" && ";
}

// The tool's command text for the platform's interpreter, its streams in files marked `tag`; on
// POSIX a decoy icmd.exe and Yafuflash.exe stand first on PATH (unless `decoys` is false) and must
// not be run.
string ToolCommand(const string& folder, const string& input, const string& tag, bool decoys = true,
                   const string& temp = "") {
  string streams = input + " > stdout" + tag + ".txt 2> stderr" + tag + ".txt";
  string path = folder;
  for (char& c : path) c = c == '/' && kWindows ? '\\' : c;
  if (kWindows)
    return TempFolder(temp.empty() ? folder : temp) + "cd \"" + path + "\" && .\\" E2E_TOOL_NAME +
           streams;
  return "cd '" + path + "' && " + TempFolder(temp.empty() ? folder : temp) +
         (decoys ? "PATH=../../decoy:$PATH " : "") + "./" E2E_TOOL_NAME + streams;
}

// The run from its status (std::system's and pclose's: a wait status on POSIX, the exit code on
// Windows) and the output it left.
ToolRun Finished(const string& folder, int status, const string& tag = "") {
  int signal = kWindows ? 0 : status & 0x7F;
  ToolRun run{kWindows ? status : (signal == 0 ? (status >> 8) & 0xFF : 256 + signal), ""};
  string raw = ReadFile(folder, "stdout" + tag + ".txt");
  if (!kWindows) run.output = raw;
  for (size_t at = 0; kWindows && at < raw.size(); ++at) {
    // A bare LF would not match the transcript: it must arrive as CR LF.
    if (raw[at] == '\n' && (at == 0 || raw[at - 1] != '\r')) run.output += "<bare LF>";
    if (raw[at] == '\r' && at + 1 < raw.size() && raw[at + 1] == '\n') continue;
    run.output += raw[at];
  }
  return run;
}

// Runs the tool in the folder, standard input from `input`, to its end.
ToolRun RunTool(const string& folder, const string& input, const string& tag = "",
                bool decoys = true, const string& temp = "") {
  WriteFile(folder, "stdin" + tag + ".txt", input);
  std::fflush(stdout);
  int status =
      std::system(ToolCommand(folder, " < stdin" + tag + ".txt", tag, decoys, temp).c_str());
  return Finished(folder, status, tag);
}

// Starts `command` (by default the tool) with `input` on a pipe that stays open; pclose ends the
// input and waits.
std::FILE* StartTool(const string& input, const string& command) {
  std::fflush(stdout);
  std::FILE* pipe = popen(command.c_str(), "w");
  if (pipe != nullptr && std::fputs(input.c_str(), pipe) >= 0) std::fflush(pipe);
  return pipe;
}

// Waits up to 20 s for `text` to appear in folder/file.
bool WaitForText(const string& folder, const string& text, const string& file = "stdout.txt") {
  for (int i = 0; i < 200; ++i) {
    if (ReadFile(folder, file).find(text) != string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

const char kAddr[] = "127.100.200.201";
const char kFactory[] = "TOLVE qs Family";
const char kImage[] = "BMC_fw_0916_rel.ima\r\n";
const char kYes[] = "y\r\ny\r\nY\r\n";
const char kLogHead[] = "started\taddress\tmodel\tbefore\tafter\texit\toutcome\n";
const char kUpdate[] = "c a s r0912 f r0916 b0";

struct Case {
  const char* name;
  string input;  // the operator's replies
  string state;  // bmcsim.txt, and changes to the folder
  int exitCode;
  const char* expected;  // transcript tokens (see Piece)
  const char* requests;  // F Read FRU Data, A all sixteen, V Get Device ID, R Cold Reset, X flash
  const char* runlog = "";  // bmcupdate.log's line after the address, where a row checks it
  string raw{};             // raw.bin, for raw_output=
  string image = kImage;
  const char* address = kAddr;
  const char* password = kFactory;
};

string operator*(const string& text, int times) {
  string all;
  while (times-- > 0) all += text;
  return all;
}

// `size` bytes of every value, starting NUL, CR, with 1Ah but no LF among the first 65.
string Binary(size_t size) {
  string bytes(size, '\0');
  for (size_t i = 2; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
  return bytes.replace(1, 1, "\r").replace(64, 1, "\x1A");
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

// A 259-byte line that ends in the marker, with the values read where a response line has them.
string MarkerLast(const string& line, size_t columns, size_t marker) {
  return string(marker, '.') + line.substr(marker, columns - marker) +
         string(259 - columns - marker, '.') + line.substr(0, marker);
}

// Rows in one line each: name, replies, bmcsim.txt (where a line "-NAME" also removes a file from
// the folder and "/NAME" puts a folder in its place), exit code, transcript, requests; some rows
// add raw.bin, image.txt, and the address and password icmd.exe must get.
std::vector<Case> Cases() {
  const char* noFru = "c a s m12 b4";
  const char* noVersion = "c a s b6";
  const char* current = "c a s r0916 b5";
  const char* failFru = "fail_fru_at=1\n";
  // clang-format off
  return {
      {"EndOfInputAtConfirmation", "", "", 255, "c", ""},
      {"DeclinedAfterEmptyAndNul", "\n" + kNul + "y\nNope\n", "", 255, "c c c", ""},
      {"HundredthConfirmation", string("maybe\n") * 99 + "n\n", "", 255, "c*100", ""},
      {"HundredUnrecognisedGoOn", string("?\n") * 100 + "1.2.34\ny\n", "-image.txt\n", 9, "c*100 a s m9", ""},
      {"RestOfLongLineSkippedPastNul", "x" + kLong.substr(10) + kNul + "xx\nn\n", "", 255, "c c", ""},
      {"AddressFiveBytes", "y\n1.2.3\n", "", 1, "c a b1", ""},
      {"AddressSixteenBytes", "y\n192.168.100.2001\n", "", 1, "c a b1", ""},
      {"AddressBlankAndMetacharacters", "y\n1.2 .4&x|y>z\n", "", 1, "c a b1", ""},
      {"AddressNul", "y\n127.100" + kNul + "200.201\n", "", 1, "c a b1", ""},
      {"AddressLongLine", "y\n1" + kLong + "\n" + kGo.substr(2), "", 1, "c a b1", ""},
      {"EndOfInputAtAddress", "y\n", "", 1, "c a b1", ""},
      {"AddressAtEndOfInput", "y\n1.2.3.4", "", 3, "c a s b3", ""},
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
      {"PasswordMetacharacters", "y\n1.2.34\nn\nP w&|<>^()!'#,;=@~1\n", failFru, 4, "c a s p m12 b4", "F", "", "", kImage, "1.2.34", "P w&|<>^()!'#,;=@~1"},
      {"PasswordEmpty", "y\nbmc-01.lab\nn\n\n", failFru, 4, "c a s p m12 b4", "F", "", "", kImage, "bmc-01.lab", ""},
      {"PasswordAtEndOfInput", "y\nfe80::1\nn\nsecret", failFru, 4, "c a s p m12 b4", "F", "", "", kImage, "fe80::1", "secret"},
      {"PasswordStateLongLine", kOwn.substr(0, kOwn.size() - 1) + kLong + "\nsecret\n", failFru, 4, "c a s p m12 b4", "F", "", "", kImage, kAddr, "secret"},
      {"PasswordStateUnanswered", kOwn.substr(0, kOwn.size() - 2) + string("?\n") * 100, failFru, 4, "c a s*100 m12 b4", "F", "", "", kImage, kAddr, ""},
      {"ImageMissing", kGo, "-image.txt\n", 9, "c a s m9", ""},
      {"ImageTwentyBytes", kGo, "", 9, "c a s mL", "", "", "", "fw0916_abcdefghi.ima\r\n"},
      {"ImageBinary", kGo, "", 9, "c a s mL", "", "", "", Binary(4096)},
      // Nothing reaches the BMC from a folder whose update can only fail.
      {"ImageEmpty", kGo, "", 9, "c a s mI", "", "", "", ""},
      {"ImageFileMissing", kGo, "-BMC_fw_0916_rel.ima\n", 9, "c a s mF", ""},
      {"OtherModelCase", kGo, "product=MIRTA KN300\n", 4, "c a s b4", "A"},
      {"OddModelName", kGo, "product=MIRTA\tkn\x01\xE3\n", 4, "c a s b4", "A", "MIRTA?kn??\t\t\t4\tnot-target"},
      {"PrefixOfModel", kGo, "product=QX5200-kn/KN2\n", 4, "c a s b4", "A"},
      {"FruCaptureIsFolder", kGo, "/fru.txt\n", 4, "c a s m11 b4", ""},
      {"TenthFruMissing", kGo, "fail_fru_at=10\n", 4, noFru, "FFFFFFFFFF", "\t\t\t4\tno-answer"},
      {"FruTruncated", kGo, "fault=truncated\nfault_scope=fru\n", 4, noFru, "F"},
      {"FruEmpty", kGo, kRawFru, 4, noFru, "F", "", ""},
      {"FruBinary", kGo, kRawFru, 4, noFru, "F", "", Binary(65536)},
      {"Fru10MB", kGo, kRawFru, 4, noFru, "F", "", kFiller * 10240},
      {"Fru1000ByteLines", kGo, kRawFru, 5, current, "AV", "", kFiller + kFruLine + string(931, ' ') + "\n" + kFiller},
      {"FruMarkerEndsFile", kGo, kRawFru, 5, current, "AV", "", MarkerLast(kFruLine, 68, 21)},
      {"FruMarkerInRest", kGo, kRawFru, 4, noFru, "F", "", string(259, '.') + kFruLine + "\n"},
      {"IcmdMissing", kGo, "-icmd.exe\n-decoys\n", 16, "c a s m16i", ""},
      {"Current", kGo, "product=QX5200-kn/KN20\nfirmware=09 16\n", 5, current, "AV", "QX5200-kn/KN20\t09-16\t\t5\talready-current"},
      {"Newer", kGo, "product=MIRTA vn300\nfirmware=09 17\nfault=crlf\n", 5, "c a s r0917 b5", "AV"},
      {"Unknown0913", kGo, "firmware=09 13\n", 6, "c a s r0913 b6", "AV"},
      {"BusyBeforeUpdate", kGo, "firmware=8A 16\n", 6, "c a s r8A16 b6", "AV"},
      {"OtherDeviceRevision", kGo, "device_revision=11\n", 6, noVersion, "AV", "MIRTA kn300\t\t\t6\tversion-unknown"},
      {"VersionCtrlZ", kGo, "fault=ctrlz\nfault_scope=version\n", 6, noVersion, "AV"},
      {"VersionCaptureIsFolder", kGo, "/version.txt\n", 6, "c a s m10 b6", "A"},
      {"VersionEmpty", kGo, kRawVersion, 6, noVersion, "AV", "", ""},
      {"VersionBinary", kGo, kRawVersion, 6, noVersion, "AV", "", Binary(65536)},
      {"Version10MB", kGo, kRawVersion, 5, current, "AV", "", kFiller * 10240 + kVersionLine + "\n"},
      {"VersionMarkerEndsLine", kGo, kRawVersion, 5, current, "AV", "", MarkerLast(kVersionLine, 29, 24) + "\n"},
      {"VersionMarkerInRest", kGo, kRawVersion, 6, noVersion, "AV", "", string(259, '.') + kVersionLine + "\n"},
      {"Updated", kGo, "flash_sets=09 16\n", 0, kUpdate, "AVXV", "MIRTA kn300\t09-12\t09-16\t0\tupdated"},
      // A run log that cannot be written changes nothing.
      {"RunLogIsFolder", kGo, "flash_sets=09 16\n/bmcupdate.log\n", 0, kUpdate, "AVXV"},
      {"UpdatedAfterColdReset", kGo, "flash_sets=89 16\nafter_reset=09 16\n", 0, "c a s r0912 f r8916 z r0916 b0", "AVXVRV"},
      {"FlashMissing", kGo, "flash_sets=09 16\n-Yafuflash.exe\n-decoys\n", 16, "c a s m16f", ""},
      // One that is there but cannot run (no execute bit) gets no countdown; nothing more is asked
      // of the BMC, and no other is taken from PATH.
      {"FlashNotRunnable", kGo, "flash_sets=09 16\n-Yafuflash.exe\n+Yafuflash.exe\n", 7, "c a s r0912 m15 b7", "AV", "MIRTA kn300\t09-12\t\t7\tflash-not-started"},
      // Without yes.txt the flash program reads an empty input, not the image it opened.
      {"YesMissing", kGo, "flash_sets=09 16\n-yes.txt\n+BMC_fw_0916_rel.ima\n", 0, kUpdate, "AVXV"},
      // The revision is read once the flash has ended.
      {"FlashSlowerThanCountdown", kGo, "flash_sets=09 16\nflash_delay_ms=60000\nflash_until=stdout.txt:経過時間＝00:03\n", 0, "c a s r0912 fw r0916 b0", "AVXV"},
      // Answers read alike on both platforms: CR LF as LF, 1Ah as the end.
      {"AnswersCrLf", "y\r\n" + string(kAddr) + "\r\nn\r\nsecret\r\n", failFru, 4, "c a s p m12 b4", "F", "", "", kImage, kAddr, "secret"},
      {"CtrlZEndsAnswers", "\x1Ay\n", "", 255, "c", ""},
      // An image name is one plain argument of the flash command.
      {"ImageNameBlank", kGo, "", 9, "c a s mI", "", "", "", "f -ip 10.0.0.99\r\n"},
      {"ImageNameQuote", kGo, "", 9, "c a s mI", "", "", "", "fw\"0916.ima\r\n"},
      {"ImageNameDash", kGo, "", 9, "c a s mI", "", "", "", "-force-boot\r\n"},
      {"ImageNameControl", kGo, "", 9, "c a s mI", "", "", "", "fw\x7F.ima\r\n"},
      // image.txt as Notepad saves it: the UTF-8 mark is no part of the name; UTF-16 names none.
      {"ImageMarkHighBytesNoLineFeed", kGo, "flash_sets=09 16\n", 0, kUpdate, "AVXV", "", "", "\xEF\xBB\xBF" "fw\xE3\x83\x95-0916.ima"},
      {"ImageUtf16", kGo, "", 9, "c a s mI", "", "", "", string("\xFF\xFEr\0o\0m\0.\0i\0m\0a\0\r\0\n\0", 20)},
  };
  // clang-format on
}

// The requests in bmcsim.log, one letter each, checking the address and password of every icmd.exe
// request on the way.
string Requests(const string& log, const Case& c) {
  string letters, line;
  const string head = string("icmd [-N] [") + c.address + "] [-P] [" + c.password + "] ";
  for (std::istringstream lines(log); std::getline(lines, line);) {
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

// The local time now as the run log writes it; such texts sort as the times they name.
string LocalTimeNow() {
  std::time_t now = std::time(nullptr);
  char text[32];
  // One thread runs the tests.
  // cppcheck-suppress localtimeCalled
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  return text;
}

// Lays out the row's folder, with its changes: "-NAME" removes a file, "/NAME" puts a folder in its
// place, "+NAME" writes one that is no program, "0NAME" an empty one.
string PrepareCase(const Case& c) {
  string folder = PrepareFolder(c.name, c.state, c.image);
  WriteFile(folder, "raw.bin", c.raw);
  std::istringstream changes(c.state);
  for (string line; std::getline(changes, line);) {
    if (line[0] == '-') fs::remove(folder + "/" + line.substr(1));
    if (line[0] == '/') fs::create_directory(folder + line);
    if (line[0] == '+') WriteFile(folder, line.substr(1), "image\n");
    if (line[0] == '0') WriteFile(folder, line.substr(1), "");
  }
  return folder;
}

// What the simulated BMC saw: the row's requests; icmd.exe looked for in the tool's folder first,
// wherever the interpreter looks; the folder's lock never in its hands.
void ExpectRequests(const string& log, const Case& c) {
  EXPECT_EQ(c.requests, Requests(log, c));
  const std::regex folderFirst(string("icmd-path .*work[/\\\\]") + c.name + "\n");
  EXPECT_EQ(string::npos, std::regex_replace(log, folderFirst, "").find("icmd-path")) << log;
  EXPECT_EQ(string::npos, log.find("icmd-lock")) << log;
}

// The flash program's arguments one by one (on Windows its command line too), out of the reach of
// the console, holding the lock, with yes.txt as input.
void ExpectFlashRun(const string& folder, const string& log, const Case& c, bool noYes) {
  const string named = c.image.rfind("\xEF\xBB\xBF", 0) == 0 ? c.image.substr(3) : c.image,
               image = named.substr(0, named.find_first_of("\r\n"));
  const string args = string(" [-ip] [") + c.address + "] [-u] [] [-p] [" + c.password + "]" +
                      (image.empty() ? "" : " [" + image + "]");
  const string line = string(" -ip ") + c.address + " -u \"\" -p \"" + c.password + "\" " + image;
  EXPECT_NE(
      string::npos,
      log.find("flash [-force-boot] [-preserve-config] [-nw]" + args + "\n" +
               (kWindows
                    ? "flash-cmdline Yafuflash.exe -force-boot -preserve-config -nw" + line + "\n"
                    : "") +
               "flash-shielded yes\nflash-lock held\n" + (kWindows ? "flash-console 1\n" : "")))
      << log;
  EXPECT_EQ(noYes ? "" : kYes, ReadFile(folder, "yafuflash-stdin.bin"));
}

// A capture stays only after it could not be read; no "nul" file; the operator's files untouched.
void ExpectFolderLeft(const string& folder, const Case& c, bool noImage, bool noYes) {
  const string tokens = c.expected;
  const auto revisions = std::count(tokens.begin(), tokens.end(), 'r');
  const auto queries = std::count(c.requests, c.requests + std::strlen(c.requests), 'V');
  EXPECT_EQ(tokens.find("m11") != string::npos || tokens.find("m12") != string::npos,
            fs::exists(folder + "/fru.txt"));
  EXPECT_EQ(tokens.find("m10") != string::npos || revisions < queries,
            fs::exists(folder + "/version.txt"));
  EXPECT_FALSE(!kWindows && fs::exists(folder + "/nul"));
  EXPECT_EQ(noImage ? "<none>" : c.image, ReadFile(folder, "image.txt"));
  EXPECT_EQ(noYes ? "<none>" : kYes, ReadFile(folder, "yes.txt"));
}

// Only runs that reached the BMC leave a line in bmcupdate.log, after the header: the time the run
// started (between `from` and `to`), then the row's fields.
void ExpectRunLog(const string& folder, const Case& c, const string& from, const string& to) {
  string runlog = ReadFile(folder, "bmcupdate.log");
  EXPECT_EQ(c.exitCode == 0 || (c.exitCode >= 4 && c.exitCode <= 8),
            fs::exists(folder + "/bmcupdate.log"));
  if (runlog == "<none>") return;
  const string started = runlog.substr(TextLines(kLogHead).size(), 19);
  EXPECT_TRUE(from <= started && started <= to) << started << " not in " << from << " to " << to;
  EXPECT_TRUE(*c.runlog == '\0' ||
              runlog == TextLines(kLogHead + started + "\t" + c.address + "\t" + c.runlog + "\n"))
      << runlog;
}

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class EndToEnd : public testing::TestWithParam<Case> {};

TEST_P(EndToEnd, Run) {
  const Case& c = GetParam();
  const string folder = PrepareCase(c), from = LocalTimeNow();
  const bool noImage = c.state.find("-image.txt\n") != string::npos;
  const bool noYes = c.state.find("-yes.txt\n") != string::npos;
  ToolRun run = RunTool(folder, c.input, "", c.state.find("-decoys\n") == string::npos);
  const string to = LocalTimeNow(), log = ReadFile(folder, "bmcsim.log");
  EXPECT_EQ(c.exitCode, run.exitCode);
  ExpectTranscript(run, c.expected);
  ExpectRequests(log, c);
  if (string(c.requests).find('X') != string::npos) ExpectFlashRun(folder, log, c, noYes);
  ExpectFolderLeft(folder, c, noImage, noYes);
  EXPECT_EQ(string::npos, (run.output + ReadFile(folder, "stderr.txt")).find("Yafuflash:"));
  ExpectRunLog(folder, c, from, to);
}

// The rows the Windows build runs: all but those that only feed the shared parsing of the answer
// files, or the flow's decisions (the unit table's), other contents over the same plumbing as the
// rows kept. Each such row costs some 18 process starts under Wine.
std::vector<Case> BuildCases() {
  const std::set<string> kSharedOnly = {"TenthFruMissing",
                                        "FruTruncated",
                                        "FruEmpty",
                                        "FruBinary",
                                        "Fru10MB",
                                        "Fru1000ByteLines",
                                        "FruMarkerEndsFile",
                                        "FruMarkerInRest",
                                        "OtherModelCase",
                                        "PrefixOfModel",
                                        "OddModelName",
                                        "Current",
                                        "Unknown0913",
                                        "BusyBeforeUpdate",
                                        "OtherDeviceRevision",
                                        "VersionCtrlZ",
                                        "VersionEmpty",
                                        "VersionBinary",
                                        "Version10MB",
                                        "VersionMarkerEndsLine",
                                        "VersionMarkerInRest"};
  std::vector<Case> cases = Cases();
  if (kWindows) {
    cases.erase(std::remove_if(cases.begin(), cases.end(),
                               [&](const Case& c) { return kSharedOnly.count(c.name) != 0; }),
                cases.end());
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEnd, testing::ValuesIn(BuildCases()),
                         testing::PrintToStringParamName());

// A second run from the folder of a running one stops before its first question and leaves the
// first alone; once that ends, runs go on. On POSIX the first one's pause prompt shows (flushed:
// no terminal flushes it) while it waits for the key, a whole line where no terminal gives keys.
TEST(Lock, OneRunPerFolder) {
  string folder = PrepareFolder("Lock");
  std::FILE* first = StartTool("", ToolCommand(folder, "", ""));
  ASSERT_TRUE(WaitForText(folder, "[y/n]"));
  ToolRun second = RunTool(folder, "n\n", "2");
  EXPECT_EQ(13, second.exitCode);
  ExpectTranscript(second, "m13");
  const string prompt = "続行するには何かキーを押してください . . . ";
  if (std::fputs("y\n1.2\nx", first) >= 0 && std::fflush(first) == 0 && !kWindows) {
    EXPECT_TRUE(WaitForText(folder, prompt));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    string shown = ReadFile(folder, "stdout.txt");
    EXPECT_EQ(prompt, shown.substr(shown.rfind(prompt)));
  }
  ToolRun ended = Finished(folder, pclose(first));
  EXPECT_EQ(1, ended.exitCode);
  ExpectTranscript(ended, "c a b1");
  EXPECT_EQ(255, RunTool(folder, "n\n", "3").exitCode);
}

// Two folders, one BMC: while the first one's flash runs, a run from the second stops before
// anything reaches the BMC; on POSIX also after the first tool was killed, as long as its flash
// program runs. Once that has ended, runs go on.
TEST(Lock, OneUpdatePerBmc) {
  const string first = PrepareFolder(
                   "BmcFirst", "flash_sets=09 16\nflash_delay_ms=60000\nflash_until=go.txt:go\n",
                   kImage),
               second = PrepareFolder("BmcSecond", "fail_fru_at=1\n", kImage);
  std::FILE* tool =
      StartTool(kGo, kWindows ? ToolCommand(first, "", "", true, first)
                              : "cd " + first + " && echo $$ > pid && " + TempFolder(first) +
                                    "exec ./" E2E_TOOL_NAME " > stdout.txt 2> stderr.txt");
  ASSERT_TRUE(WaitForText(first, "BMCアップデート中です"));
  for (int round = 0; round < (kWindows ? 1 : 2); ++round) {
    ToolRun busy = RunTool(second, kGo, "", true, first);
    EXPECT_EQ(17, busy.exitCode);
    ExpectTranscript(busy, "c a s m17");
    EXPECT_EQ("<none>", ReadFile(second, "bmcsim.log"));
    if (round == 0 && !kWindows) {
      EXPECT_EQ(0, std::system(("kill -KILL " + ReadFile(first, "pid")).c_str()));
    }
  }
  WriteFile(first, "go.txt", "go");
  EXPECT_TRUE(WaitForText(first, "firmware=09 16", "bmcsim.txt"));
  pclose(tool);
  int code = 17;
  for (int i = 0; i < 50 && (code = RunTool(second, kGo, "", true, first).exitCode) == 17; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(4, code);
}

// A folder the tool cannot write (a read-only share or stick) stops it before anything reaches the
// BMC, though its lock could not be made. Root writes past plain permissions, so the folder is
// mounted read-only, in a mount namespace of its own.
TEST(Folder, ReadOnly) {
  if (kWindows || std::system("unshare -m true 2>/dev/null") != 0) {
    GTEST_SKIP() << "needs a POSIX build and the right to make a mount namespace (root)";
  }
  const string folder = PrepareFolder("ReadOnly", "", kImage), path = fs::absolute(folder).string();
  WriteFile(folder, "stdin.txt", kGo);
  const string script = "mount --bind '" + path + "' '" + path + "' && mount -o remount,ro,bind '" +
                        path + "' && cd '" + path + "' && " + TempFolder("work") +
                        "./" E2E_TOOL_NAME " < stdin.txt > ../ReadOnly.txt";
  const int status = std::system(("unshare -m sh -c \"" + script + "\"").c_str());
  ToolRun run = Finished("work", status, "");
  run.output = ReadFile("work", "ReadOnly.txt");
  EXPECT_EQ(16, run.exitCode);
  ExpectTranscript(run, "c a s m16w");
  EXPECT_FALSE(fs::exists(folder + "/bmcupdate.lck"));
}

// A ';' in the tool's folder name, which Windows' PATH uses between folders: the folder still
// stands first on PATH, whole.
TEST(Folder, SemicolonInName) {
  const string folder = PrepareFolder("kit;1", "fail_fru_at=1\n", kImage);
  EXPECT_EQ(4, RunTool(folder, kGo).exitCode);
  const string log = ReadFile(folder, "bmcsim.log");
  EXPECT_TRUE(std::regex_search(log, std::regex("icmd-path [^\n]*work[/\\\\]kit;1\n"))) << log;
}

// Interrupts as a terminal sends them, to the tool's process group, and a reader of its output that
// goes away. Before the flash an interrupt ends the tool at once, also while an icmd.exe request
// runs: no box, no log line, no further request. From the flash to the box each is acknowledged,
// once, and the run goes on to its true end; so does one whose output nobody reads any more. At
// the final pause an interrupt ends the tool quietly. A signal the tool was started to ignore
// (nohup) stays ignored, by the tool and by what it starts.
TEST(Interrupt, OnlyBeforeTheUpdate) {
  if (kWindows) GTEST_SKIP() << "no console to interrupt under the test";
  const string updated = "09-12\t09-16\t0\tupdated",
               ack = "\nBMCのアップデート中は中断できません。終わるまでお待ちください。\n";
  const struct {
    const char *state,
        *when;            // bmcsim.txt; the text in stdout.txt (bmcsim.log: "log:") for the signals
    const char* signals;  // sent one after another (":INT" to the tool's children only); "pipe":
                          // none, the output's reader goes
    bool nohup;           // the tool started with SIGHUP ignored
    int exitCode, acks;
    const char *expected, *requests;  // transcript (without the acknowledgement); requests
    string logged;  // the run log's fields from the before field on, "" for no log
  } kCases[] = {
      // clang-format off
      {"flash_delay_ms=3000\n", "BMCアップデート中です", "INT INT INT", false, 0, 1, "c a s r0912 fw r0916 b0", "AVXV", updated},
      {"flash_delay_ms=3000\n", "BMCアップデート中です", "TERM HUP QUIT", false, 0, 1, "c a s r0912 fw r0916 b0", "AVXV", updated},
      {"slow_request=3\nslow_ms=20000\n", "log:icmd-slow", "INT", false, 256 + 2, 0, "c a s", "FFF", ""},
      {"slow_request=3\nslow_ms=20000\n", "log:icmd-slow", ":QUIT", false, 256 + 3, 0, "c a s", "FFF", ""},
      {"slow_request=18\nslow_ms=2000\nflash_sets=89 16\nafter_reset=09 16\n", "log:icmd-slow", "INT", false, 0, 1, "c a s r0912 f r8916 z r0916 b0", "AVXVRV", updated},
      {"flash_delay_ms=3000\n", "", "pipe", false, 0, 0, nullptr, "AVXV", updated},
      {"", "続行するには", "INT", false, 256 + 2, 0, nullptr, "AVXV", updated},
      {"slow_request=3\nslow_ms=2000\n", "log:icmd-slow", "HUP", true, 0, 0, "c a s r0912 f r0916 b0", "AVXV", updated},
      // clang-format on
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(string(c.signals) + " at " + c.when);
    string folder = PrepareFolder("Interrupt", string("flash_sets=09 16\n") + c.state, kImage);
    const bool pipe = string(c.signals) == "pipe";
    std::FILE* tool = StartTool(
        kGo, "cd " + folder + " && echo $$ > pid && " + TempFolder(folder) +
                 (pipe ? "(./" E2E_TOOL_NAME "; echo $? > code.txt) | head -c 2000 > stdout.txt"
                       : string("exec ") + (c.nohup ? "nohup " : "") +
                             "setsid ./" E2E_TOOL_NAME " > stdout.txt 2> stderr.txt"));
    const bool inLog = std::strncmp(c.when, "log:", 4) == 0;
    ASSERT_TRUE(pipe ||
                WaitForText(folder, c.when + (inLog ? 4 : 0), inLog ? "bmcsim.log" : "stdout.txt"));
    std::istringstream signals(pipe ? "" : c.signals);
    for (string name; signals >> name;) {
      const string pid = ReadFile(folder, "pid");
      EXPECT_EQ(0, std::system((name[0] == ':' ? "pkill -" + name.substr(1) + " -P " + pid
                                               : "kill -" + name + " -" + pid)
                                   .c_str()));
    }
    ToolRun run = Finished(folder, pclose(tool));
    if (pipe) run.exitCode = std::stoi(ReadFile(folder, "code.txt"));
    EXPECT_EQ(c.exitCode, run.exitCode);
    size_t at = run.output.find(ack);
    EXPECT_EQ(c.acks, at == string::npos ? 0 : 1 + (run.output.find(ack, at + 1) != string::npos));
    if (at != string::npos) run.output.erase(at, ack.size());
    if (c.expected != nullptr) ExpectTranscript(run, c.expected);
    Case row{"Interrupt", "", "", 0, "", c.requests};
    EXPECT_EQ(c.requests, Requests(ReadFile(folder, "bmcsim.log"), row));
    string runlog = ReadFile(folder, "bmcupdate.log");
    EXPECT_EQ(c.logged.empty() ? "<none>"
                               : kLogHead + runlog.substr(sizeof kLogHead - 1, 19) + "\t" + kAddr +
                                     "\tMIRTA kn300\t" + c.logged + "\n",
              runlog);
  }
}

// The logind inhibitor, against a stand-in on a private bus (tests/e2e/logind_standin.py): asked
// for with the full `what` before the flash starts, let go by the final pause, or held on by the
// flash program to its end when the tool is killed; refused with the lid switch, asked for without
// it. A logind that never answers, or no bus: not asked twice, nothing on screen, soon over.
TEST(Interrupt, LogindInhibitor) {
  const char* probe =
      "/usr/bin/python3 -c 'import dbus, gi, shutil; assert shutil.which(\"dbus-daemon\")'";
  if (kWindows || std::system(probe) != 0) GTEST_SKIP() << "needs dbus-daemon and python3-dbus";
  const string all = "shutdown:sleep:idle:handle-lid-switch",
               rest = "\tbmcupdate\tUpdating a server's BMC firmware\tblock\n";
  const struct {
    const char* mode;    // the stand-in's (see the script); "no-bus": the tool looks elsewhere
    bool kill, granted;  // the tool killed (SIGKILL) while its flash runs; an inhibitor given
    string calls;        // the Inhibit calls, as the stand-in noted them
  } kCases[] = {
      {"grant", false, true, all + rest},
      {"grant", true, true, all + rest},
      {"refuse-lid", false, true, all + rest + "shutdown:sleep:idle" + rest},
      {"silent", false, false, all + rest},
      {"no-bus", false, false, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(string(c.mode) + (c.kill ? " killed" : ""));
    const string folder = PrepareFolder(
        "Logind", string("flash_sets=09 16\n") + (c.kill ? "flash_delay_ms=3000\n" : ""), kImage);
    const string bus = fs::absolute(folder + "/bus").string(), released = "logind released\n";
    std::FILE* standin =
        StartTool("", "exec /usr/bin/python3 " E2E_LOGIND_STANDIN " " + bus + " " + folder +
                          "/bmcsim.log " + c.mode + " > " + folder + "/standin.txt");
    EXPECT_TRUE(WaitForText(folder, "ready", "standin.txt"));
    const auto start = std::chrono::steady_clock::now();
    std::FILE* tool = StartTool(kGo, "cd " + folder + " && echo $$ > pid && " + TempFolder(folder) +
                                         "DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + bus +
                                         (string(c.mode) == "no-bus" ? "-none" : "") +
                                         " exec ./" E2E_TOOL_NAME " > stdout.txt 2> stderr.txt");
    if (c.kill) {
      EXPECT_TRUE(WaitForText(folder, "flash [", "bmcsim.log"));
      EXPECT_EQ(0, std::system(("kill -KILL " + ReadFile(folder, "pid")).c_str()));
      EXPECT_EQ(256 + 9, Finished(folder, pclose(tool)).exitCode);
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
      // The flash still runs (it writes its firmware line at its end), and holds the inhibitor.
      EXPECT_EQ(string::npos, ReadFile(folder, "bmcsim.txt").find("firmware="));
      EXPECT_EQ(string::npos, ReadFile(folder, "bmcsim.log").find(released));
      EXPECT_TRUE(WaitForText(folder, released, "bmcsim.log"));
      EXPECT_NE(string::npos, ReadFile(folder, "bmcsim.txt").find("firmware=09 16"));
    } else {
      EXPECT_TRUE(WaitForText(folder, "続行するには"));
      EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
      EXPECT_TRUE(!c.granted || WaitForText(folder, released, "bmcsim.log"));
      ToolRun run = Finished(folder, pclose(tool));
      EXPECT_EQ(0, run.exitCode);
      ExpectTranscript(run, kUpdate);
      EXPECT_EQ("", std::regex_replace(ReadFile(folder, "stderr.txt"),
                                       std::regex("icmd: session opened\n"), ""));
    }
    const string log = ReadFile(folder, "bmcsim.log");
    const string calls = std::regex_replace(log, std::regex("logind inhibit ([^\n]*\n)"), "$1",
                                            std::regex_constants::format_no_copy);
    EXPECT_EQ(c.calls, calls);
    EXPECT_TRUE(calls.empty() || log.find("logind inhibit") < log.find("flash [")) << log;
    // The tool's own copy holds to the span's end, past the flash program's end.
    EXPECT_TRUE(!c.granted || c.kill || log.find(released) > log.rfind("icmd [")) << log;
    pclose(standin);
  }
}

// At a terminal (tmux's) the password is not shown, the line feed its echo would have written is,
// and the terminal echoes again after the tool, also when interrupted ("" below) at the password.
TEST(Terminal, PasswordNotShown) {
  if (kWindows) GTEST_SKIP() << "a POSIX terminal";
  for (const string password : {"secret", ""}) {
    string folder = PrepareFolder("Terminal", "fail_fru_at=1\n", kImage), shown;
    auto tmux = [&](const string& prompt, const string& command) {
      for (int i = 0;
           i < 100 && (shown = ReadFile(folder, "screen.txt")).find(prompt) == string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::system(
            ("tmux -L e2e" + password + " capture-pane -p > " + folder + "/screen.txt").c_str());
      }
      EXPECT_EQ(0, std::system(("tmux -L e2e" + password + " " + command).c_str())) << command;
    };
    tmux("", "new -d -x 80 -y 50 'cd " + folder + " && " + TempFolder(folder) +
                 "./" E2E_TOOL_NAME "; stty -a > stty.txt; sleep 9'");
    tmux("[y/n] :", "send y Enter");
    tmux("IPアドレス :", string("send ") + kAddr + " Enter");
    tmux("ですか？ [y/n] :", "send n Enter");
    tmux("パスワード :",
         password.empty() ? "run 'kill -INT $(pgrep -P #{pane_pid})'" : "send secret Enter");
    tmux(password.empty() ? "" : "続行", "send x");
    EXPECT_TRUE(WaitForText(folder, " echo ", "stty.txt"));
    EXPECT_EQ(0, std::system(("tmux -L e2e" + password + " kill-server").c_str()));
    EXPECT_EQ(string::npos, shown.find("secret"));
    EXPECT_NE(string::npos, shown.find(string("IPアドレス : ") + kAddr + "\n"));
    EXPECT_TRUE(password.empty() || shown.find("パスワード :\n") != string::npos) << shown;
  }
}

}  // namespace
