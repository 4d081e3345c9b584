// The update flow on a scripted platform, through the seam: no program is started, the flash and
// the BMC are the script's, and a run decides in milliseconds. Also what a run of the built tool
// cannot show: the countdowns sleep a second after each line; on POSIX, a text file read and closed
// leaves no descriptor for the programs started later; the README and the fleet playbook name the
// outcomes as the tool does.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/seam.h"
#include "procedure/outcome.h"
#include "procedure/texts.h"
#include "procedure/update.h"

namespace {

namespace fs = std::filesystem;
using std::string;

// The script of one run: knobs as "name=value" words (see Knob), and what the run did.
struct Script {
  std::map<string, string> knobs;
  string input;       // the operator's replies
  size_t read = 0;    // how much of them was read
  string console;     // what was written, a '|' for each second slept
  string trace;       // the platform operations, one letter each (see Fake* below)
  string bmcLockName;
  int revision = 0;   // Get Device ID answers given
  int runs = 0, spanChecks = 0;
  bool inSpan = false, interrupted = false;
  std::mutex flashLock;
  std::condition_variable flashEnds;
  bool flashEnded = false, flashReleased = true;
};
Script* g_script = nullptr;

// Notes a platform operation; the flash worker notes from its own thread.
void Note(char operation) {
  std::lock_guard<std::mutex> lock(g_script->flashLock);
  g_script->trace += operation;
}

// The knob `name`, or `otherwise`.
string Knob(const string& name, const string& otherwise = "") {
  auto found = g_script->knobs.find(name);
  return found == g_script->knobs.end() ? otherwise : found->second;
}
int Number(const string& name, int otherwise) { return std::stoi(Knob(name, std::to_string(otherwise))); }

void FakeWrite(const char* text) {
  g_script->console += text;
  if (std::strstr(text, "中断できません") != nullptr) Note('!');
}
int FakeRead() {
  return g_script->read < g_script->input.size()
             ? static_cast<unsigned char>(g_script->input[g_script->read++])
             : -1;
}
void FakePause(const char*) { Note('P'); }
int FakeOwnConsole() { return Number("own", 0); }
// A flash program that ends at once has ended, and its worker let go, before the first second is
// over: the worker's thread is real.
void FakeSleep() {
  g_script->console += '|';
  std::unique_lock<std::mutex> lock(g_script->flashLock);
  g_script->flashEnds.wait(lock, [] { return g_script->flashReleased || Knob("end") == "never"; });
}
int FakeFolder() { return 0; }

// The FRU of a MIRTA kn300 from offset `at`, or the revision `rev` (knob "rev": one "MMmm" per Get
// Device ID, "-" for none), as icmd.exe prints them.
string Response(const string& command) {
  if (command.find(" 28 11 00 ") != string::npos) {
    unsigned char fru[256] = {};
    fru[0x73] = 0xC0 | 11;
    std::memcpy(fru + 0x74, "MIRTA kn300", 11);
    int at = std::stoi(command.substr(command.find(" 28 11 00 ") + 10, 2), nullptr, 16);
    string line = "respData[len=17]: 10";
    char byte[4];
    for (int j = 0; j < 16; ++j) line += (std::snprintf(byte, sizeof byte, " %02X", fru[at + j]), byte);
    return line + "\n";
  }
  std::istringstream revisions(Knob("rev", "0912,0916"));
  string rev;
  for (int i = 0; i <= g_script->revision; ++i) std::getline(revisions, rev, ',');
  ++g_script->revision;
  if (rev == "-") return "";
  return "respData[len=15]: 20 10 " + rev.substr(0, 2) + " " + rev.substr(2) + " 02 BF 7A 1B 00 01 0A 00 00 00 00\n";
}

// F V R: a FRU read, a revision query, a cold reset, each writing its capture. Knob "break=N": the
// Nth run is cut short by an interrupt (and writes nothing).
int FakeInterpreter(const char* text) {
  const string command = text;
  const bool fru = command.find(" 28 11 ") != string::npos, reset = command.find(" 18 02 ") != string::npos;
  Note(fru ? 'F' : reset ? 'R' : 'V');
  if (++g_script->runs == Number("break", 0)) return kRunInterrupted;
  if (!reset) std::ofstream(fru ? "fru.txt" : "version.txt", std::ios::binary) << Response(command);
  return kRunEnded;
}

int FakeFinds(const char* name) { return Number(std::strcmp(name, "icmd.exe") == 0 ? "icmd" : "flash", 1); }

// X: the flash program starts (knob "start=-1": it cannot); knob "end=never": it ends only when the
// case is over.
int FakeStart(char*, const char*) {
  Note('X');
  g_script->flashReleased = false;
  return Number("start", 0);
}
void FakeWait() {
  Script* script = g_script;
  std::unique_lock<std::mutex> lock(script->flashLock);
  script->flashEnds.wait(lock, [script] { return script->knobs["end"] != "never" || script->flashEnded; });
}

// Lets a flash program that never ends end, and waits until the flow's worker has let go for it.
void EndFlash(Script* script) {
  std::unique_lock<std::mutex> lock(script->flashLock);
  script->flashEnded = true;
  script->flashEnds.notify_all();
  script->flashEnds.wait(lock, [script] { return script->flashReleased; });
}

long long FakeSize(const char*) { return Number("size", 100); }
int FakeProbe(const char*) { return Number("probe", 0); }
// L B: the folder's lock and the BMC's (knobs "folder", "bmc": 1 held, -1 cannot be made).
int FakeFolderLock(const char*) {
  Note('L');
  return Number("folder", 0);
}
int FakeBmcLock(const char* name) {
  Note('B');
  g_script->bmcLockName = name;
  return Number("bmc", 0);
}

// [ ]: the update span. Knob "irq=N": an interrupt has come by the Nth look in the span.
void FakeEnter() {
  Note('[');
  g_script->inSpan = true;
}
void FakeLeave() {
  Note(']');
  g_script->inSpan = false;
}
int FakeTake() {
  if (!g_script->inSpan || g_script->interrupted) return 0;
  g_script->interrupted = ++g_script->spanChecks == Number("irq", 0);
  return g_script->interrupted ? 1 : 0;
}

// G: the guard raised; g, f: let go for the span, for the flash program.
void FakeRaise(const char*, const char*) { Note('G'); }
void FakeRelease(GuardHolder holder) {
  Note(holder == kGuardSpan ? 'g' : 'f');
  std::lock_guard<std::mutex> lock(g_script->flashLock);
  if (holder == kGuardFlash) g_script->flashReleased = true;
  g_script->flashEnds.notify_all();
}

const PlatformSeam kFake = {FakeWrite,  FakeRead,        FakePause, FakeOwnConsole, FakeSleep,
                            FakeFolder, FakeInterpreter, FakeFinds, FakeFinds,      FakeStart,
                            FakeWait,   FakeSize,        FakeProbe, FakeFolderLock, FakeBmcLock,
                            FakeEnter,  FakeLeave,       FakeTake,  FakeRaise,      FakeRelease};

// A folder of its own under the system's temporary one, made the working directory for a test and
// emptied after it.
class InFolder : public testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::current_path();
    folder_ = fs::temp_directory_path() /
              ("bmcupdate-unit-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(folder_);
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(home_);
    fs::remove_all(folder_);
  }
  fs::path home_, folder_;
};

// Runs the flow on the script: `knobs` words, the replies, image.txt. The exit code.
int RunScripted(Script* script, const string& knobs, const string& input = "y\n10.0.0.1\ny\n",
                const string& image = "fw.ima\n") {
  std::istringstream words(knobs);
  for (string word; words >> word;) script->knobs[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
  script->input = input;
  std::ofstream("image.txt", std::ios::binary) << image;
  g_script = script;
  InstallPlatformSeam(kFake);
  int code = RunUpdate();
  EndFlash(script);
  InstallPlatformSeam(RealPlatformSeam());
  return code;
}

// The whole of file `name`, closed again.
string ReadAll(const char* name) {
  std::ifstream file(name, std::ios::binary);
  return string(std::istreambuf_iterator<char>(file), {});
}

// How many times `text` stands in `all`.
int Count(const string& all, const string& text) {
  int count = 0;
  for (size_t at = all.find(text); at != string::npos; at = all.find(text, at + 1)) ++count;
  return count;
}

using Flow = InFolder;

// Each case: knobs, then exit code, the platform's operations (L folder lock, B BMC lock, A all 16
// FRU reads, F one, V query, R reset, [ ] the span, G g f the guard raised and let go for the span
// and the flash, X flash start, ! the acknowledgment, P the pause), a text the console must show,
// and the run log's outcome ("" for no log).
TEST_F(Flow, DecidesAsThePlatformAnswers) {
  const struct {
    const char *knobs;
    int exitCode;
    const char *trace, *shown, *logged;
  } kCases[] = {
      // clang-format off
      {"",                       0, "LBAV[GXfV]gP",    "正常にBMCのアップデートが完了しました", "updated"},
      // Interrupts in the span: acknowledged where the flow waits, once; the run goes on.
      {"irq=3",                  0, "LBAV[GXf!V]gP",   "正常に", "updated"},
      {"irq=301",                0, "LBAV[GXfV!]gP",   "正常に", "updated"},
      {"rev=0912,8916,0916 irq=302", 0, "LBAV[GXfVR!V]gP", "正常に", "updated"},
      // A request an interrupt cut short: made again in the span, never before it.
      {"break=18",               0, "LBAV[GXfVV]gP",   "正常に", "updated"},
      {"break=3",                4, "LBFFFP",          "[011] fru.txt cannot be opened.", "no-answer"},
      {"rev=0912,8916,0916",     0, "LBAV[GXfVRV]gP",  "BMC再起動中です", "updated"},
      {"rev=0912,8916,8916",     8, "LBAV[GXfVRV]gP",  "[008]", "still-busy"},
      {"rev=0912,0917",          7, "LBAV[GXfV]gP",    "[007]", "not-updated"},
      {"rev=0916",               5, "LBAVP",           "[005]", "already-current"},
      {"rev=-",                  6, "LBAVP",           "[006]", "version-unknown"},
      // A flash program that cannot start, or outlasts the wait: nothing more reaches the BMC; the
      // guard stays up for a flash program that still runs, past the box and the pause.
      {"start=-1",               7, "LBAV[GXf]gP",     "[015] Yafuflash.exe cannot be started.", "flash-not-started"},
      {"end=never",              7, "LBAV[GX]gPf",     "[014] the flash program is still running.", "flash-running"},
      // The folder, checked before anything reaches the BMC, in this order.
      {"size=-1 icmd=0",         9, "L",     "[009] image file named in image.txt is missing or empty.", ""},
      {"size=0",                 9, "L",     "[009] image file named in image.txt is missing or empty.", ""},
      {"icmd=0 flash=0",        16, "L",     "[016] icmd.exe cannot be found.", ""},
      {"flash=0 probe=-1",      16, "L",     "[016] Yafuflash.exe cannot be found.", ""},
      {"probe=-1 bmc=1",        16, "L",     "[016] the tool's folder cannot be written.", ""},
      {"bmc=1",                 17, "LB",    "[017] another update of this BMC is running on this PC.", ""},
      {"bmc=1 own=1",           17, "LBP",   "[017]", ""},
      {"bmc=-1",                 0, "LBAV[GXfV]gP",    "正常に", "updated"},
      {"folder=1 own=1",        13, "LP",    "[013] another update is running from this folder.", ""},
      {"folder=-1",              0, "LBAV[GXfV]gP",    "正常に", "updated"},
      // clang-format on
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.knobs);
    Script script;
    EXPECT_EQ(c.exitCode, RunScripted(&script, c.knobs));
    EXPECT_EQ(c.trace, std::regex_replace(script.trace, std::regex("F{16}"), "A"));
    EXPECT_NE(string::npos, script.console.find(c.shown)) << script.console.substr(0, 2000);
    const string runlog = std::regex_replace(ReadAll("bmcupdate.log"), std::regex("\r"), "");
    EXPECT_EQ(*c.logged == '\0' ? 0 : 2, Count(runlog, "\n"));
    EXPECT_TRUE(*c.logged == '\0' || runlog.find(string("\t") + c.logged + "\n") != string::npos) << runlog;
    fs::remove("bmcupdate.log");
  }
}

// An empty name, or a first line that is only a line end, names no image: nothing else is looked at.
// The BMC's lock is named by the address as typed, lower-cased, in hex.
TEST_F(Flow, NamesChecked) {
  for (const char* image : {"", "\r\n"}) {
    Script script;
    EXPECT_EQ(9, RunScripted(&script, "size=-1 icmd=0", "y\n10.0.0.1\ny\n", image));
    EXPECT_EQ("L", script.trace);
    EXPECT_NE(string::npos, script.console.find("[009] image name in image.txt is not valid."));
  }
  Script script;
  EXPECT_EQ(17, RunScripted(&script, "bmc=1", "y\nBmc-01.Lab\ny\n"));
  EXPECT_EQ("626d632d30312e6c6162", script.bmcLockName);
}

// The countdowns sleep a second after each line; the wait for a flash that outlasts its countdown
// sleeps before each of its lines.
TEST_F(Flow, CountdownsSleepAfterEachLine) {
  const struct {
    int (*wait)();
    const char* end;  // "never": the flash program outlasts the wait
    int result;
    const char* format;
    int seconds, waited;  // the countdown, then the wait for the flash program
  } kWaits[] = {{ResetBmc, "", 0, kResetCountdownFormat, 90, 0},
                {FlashFirmware, "", kFlashEnded, kFlashCountdownFormat, 300, 0},
                {FlashFirmware, "never", kFlashStillRunning, kFlashCountdownFormat, 300, 1800}};
  for (const auto& wait : kWaits) {
    Script script;
    script.knobs["end"] = wait.end;
    g_script = &script;
    InstallPlatformSeam(kFake);
    EXPECT_EQ(wait.result, wait.wait());
    EndFlash(&script);
    InstallPlatformSeam(RealPlatformSeam());
    string want = wait.format == kFlashCountdownFormat ? "\n" : "";
    char line[128];
    for (int n = wait.seconds; n >= 1; --n) {
      want += (std::snprintf(line, sizeof line, wait.format, n / 60, n % 60), line) + string("|");
    }
    for (int n = 1; n <= wait.waited; ++n) {
      want += "|" + string((std::snprintf(line, sizeof line, kFlashWaitFormat, n / 60, n % 60), line));
    }
    want += "\n" + string(wait.waited > 0 ? "[014] the flash program is still running.\n" : "");
    EXPECT_TRUE(want == script.console) << script.console.size() << " bytes, not " << want.size();
  }
}

TEST_F(InFolder, TextFileClosed) {
  if (UNIT_WINDOWS) GTEST_SKIP() << "POSIX only";
  std::ofstream("Answer.TXT") << "line\n";
  auto descriptors = [] {
    fs::directory_iterator listing("/proc/self/fd");
    return std::distance(fs::begin(listing), fs::end(listing));
  };
  const auto before = descriptors();
  TextInput input;
  char line[8];
  ASSERT_EQ(0, OpenTextInput("answer.txt", &input));  // matched without regard to case
  EXPECT_GT(ReadTextLine(&input, line, sizeof line), 0);
  CloseTextInput(&input);
  EXPECT_EQ(before, descriptors());
}

// "CODE WORD" for every match of `pattern` in `text` (its groups `code` and `word`).
std::set<string> Pairs(const string& text, const char* pattern, int code, int word) {
  std::set<string> pairs;
  const std::regex found(pattern);
  for (std::sregex_iterator at(text.begin(), text.end(), found), end; at != end; ++at) {
    pairs.insert((*at)[code].str() + " " + (*at)[word].str());
  }
  return pairs;
}

// The README's run-log table, and the fleet playbook's exit map (with the README's copy of it), say
// what the outcome table says: every logged word with its exit code; for a run that writes no line,
// the word of its exit code.
TEST(Outcomes, AsDocumented) {
  std::ifstream readmeFile(UNIT_SOURCE "/README.md"), playbookFile(UNIT_SOURCE "/fleet/update.yml");
  const string readme(std::istreambuf_iterator<char>(readmeFile), {});
  string playbook(std::istreambuf_iterator<char>(playbookFile), {});
  playbook = playbook.substr(playbook.find("outcomes: {"));
  playbook.resize(playbook.find('}'));
  std::set<string> logged, unlogged;
  for (int i = 0; i < kOutcomeCount; ++i) {
    const OutcomeFacts& facts = FactsOf(static_cast<Outcome>(i));
    (facts.logged ? logged : unlogged)
        .insert((facts.exitCode >= 0 ? std::to_string(facts.exitCode) : "") + " " + facts.word);
  }
  unlogged.erase("255 declined");  // the fleet always answers yes
  const std::set<string> played = Pairs(playbook, "([0-9]+): ([a-z-]+)", 1, 2);
  EXPECT_EQ(logged, Pairs(readme, "\\| `([a-z-]+)` \\| *([0-9]*) *\\|", 2, 1));
  EXPECT_EQ(played, Pairs(readme, "\\| ([0-9]+) \\| `([a-z-]+)`", 1, 2));
  for (const string& pair : played) EXPECT_TRUE(logged.count(pair) + unlogged.count(pair));
  for (const string& pair : unlogged) EXPECT_TRUE(played.count(pair) != 0) << pair;
}

}  // namespace
