// The update flow on a scripted platform, through the seam: no program is started, the flash and
// the BMC are the script's, and a run decides in milliseconds. Also what a run of the built tool
// cannot show: on POSIX, a text file read and closed leaves no descriptor for the programs started
// later; the README and the fleet playbook name the outcomes as the tool does.
#include <gtest/gtest.h>

#include <algorithm>
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

#include "bmc/icmd_call.h"
#include "platform/files.h"
#include "platform/seam.h"
#include "procedure/dialogue.h"
#include "procedure/outcome.h"
#include "procedure/update.h"

namespace {

namespace fs = std::filesystem;
using std::string;

// One run's script, knobs as "name=value" words (see the fakes), and what the run did.
struct Script {
  std::map<string, string> knobs;
  string input, console, trace;  // replies; what was written ('|' a second slept); the operations
  string bmcLockName;
  size_t read = 0;
  int revision = 0, runs = 0, spanLooks = 0;
  bool inSpan = false, interrupted = false, flashEnded = false, flashReleased = true;
  std::mutex lock;
  std::condition_variable changed;
};
Script* g_script = nullptr;

// Notes an operation, one letter; the flash worker notes from a thread of its own.
void Note(char operation) {
  std::lock_guard<std::mutex> held{g_script->lock};
  g_script->trace += operation;
}
int Knob(const string& name, int otherwise) {
  auto found = g_script->knobs.find(name);
  return found == g_script->knobs.end() ? otherwise : std::stoi(found->second);
}
bool FlashNeverEnds() { return g_script->knobs["end"] == "never"; }

// The FRU of a MIRTA kn300 at the request's offset, or the next revision of knob "rev" ("MMmm"
// each, comma-separated, "-" for none), as icmd.exe prints them.
string Response(const string& command) {
  size_t fru = command.find(" 28 11 00 ");
  if (fru != string::npos) {
    unsigned char bytes[256] = {};
    bytes[0x73] = 0xC0 | 11;
    const string name = "MIRTA kn300";
    std::copy(name.begin(), name.end(), bytes + 0x74);
    string line = "respData[len=17]: 10";
    char hex[4];
    for (int j = 0, at = std::stoi(command.substr(fru + 10, 2), nullptr, 16); j < 16; ++j) {
      line += (std::snprintf(hex, sizeof hex, " %02X", bytes[at + j]), hex);
    }
    return line + "\n";
  }
  std::istringstream revisions(g_script->knobs.count("rev") ? g_script->knobs["rev"] : "0912,0916");
  string rev;
  for (int i = 0; i <= g_script->revision; ++i) std::getline(revisions, rev, ',');
  ++g_script->revision;
  return rev == "-"
             ? ""
             : "respData[len=15]: 20 10 " + rev.substr(0, 2) + " " + rev.substr(2) + " 02 BF\n";
}

// Trace letters: L B the folder's and the BMC's lock (knobs "folder", "bmc": 1 held, -1 not made);
// F V R a FRU read, a query, a cold reset (knob "break=N": the Nth run was cut short by an
// interrupt); [ ] the span (knob "irq=N": an interrupt came by the Nth look in it); ! its
// acknowledgment; G g f the guard raised, let go for the span and for the flash; X the flash starts
// (knob "start=-1": it cannot; "end=never": it ends only after the run); P the pause.
const PlatformSeam kFake = {
    [](const char* text) {
      g_script->console += text;
      if (std::strstr(text, "中断できません") != nullptr) Note('!');
    },
    [] {
      return g_script->read < g_script->input.size() ? g_script->input[g_script->read++] & 0xFF
                                                     : -1;
    },
    [](const char*) { Note('P'); },
    [] { return Knob("own", 0); },
    // The worker's thread is real: a flash that ends at once has ended before the first second has.
    [] {
      g_script->console += '|';
      std::unique_lock<std::mutex> held{g_script->lock};
      g_script->changed.wait(held, [] { return g_script->flashReleased || FlashNeverEnds(); });
    },
    [] { return 0; },
    [](const char* text) {
      const string command = text;
      const bool fru = command.find(" 28 11 ") != string::npos,
                 reset = command.find(" 18 02 ") != string::npos;
      Note(fru ? 'F' : reset ? 'R' : 'V');
      if (++g_script->runs == Knob("break", 0)) return kRunInterrupted;
      if (!reset)
        std::ofstream(fru ? "fru.txt" : "version.txt", std::ios::binary) << Response(command);
      return kRunEnded;
    },
    [](const char*) { return Knob("icmd", 1); },
    [](const char*) { return Knob("flash", 1); },
    [](char*, const char*) {
      Note('X');
      g_script->flashReleased = Knob("start", 0) != 0;
      return Knob("start", 0);
    },
    [] {
      Script* script = g_script;
      std::unique_lock<std::mutex> held{script->lock};
      script->changed.wait(
          held, [script] { return script->knobs["end"] != "never" || script->flashEnded; });
    },
    [](const char*) { return static_cast<long long>(Knob("size", 100)); },
    [](const char*) { return Knob("probe", 0); },
    [](const char*) {
      Note('L');
      return static_cast<LockResult>(Knob("folder", 0));
    },
    [](const char* name) {
      Note('B');
      g_script->bmcLockName = name;
      return static_cast<LockResult>(Knob("bmc", 0));
    },
    [] { Note('['), g_script->inSpan = true; },
    [] { Note(']'), g_script->inSpan = false; },
    [] {
      return g_script->inSpan && !g_script->interrupted && ++g_script->spanLooks == Knob("irq", 0)
                 ? (g_script->interrupted = true, 1)
                 : 0;
    },
    [](const char*, const char*) { Note('G'); },
    [](GuardHolder holder) {
      Note(holder == kGuardSpan ? 'g' : 'f');
      std::lock_guard<std::mutex> held{g_script->lock};
      g_script->flashReleased = g_script->flashReleased || holder == kGuardFlash;
      g_script->changed.notify_all();
    },
};

// A folder of its own under the system's temporary one, the working directory while a test runs.
class InFolder : public testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::current_path();
    folder_ = fs::temp_directory_path() /
              ("bmcupdate-unit-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(folder_);
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(home_);
    fs::remove_all(folder_);
  }
  fs::path home_, folder_;
};

// The whole of file `name`, without CR: the run log ends lines CR LF on Windows.
string ReadAll(const char* name) {
  std::ifstream file(name, std::ios::binary);
  return std::regex_replace(string(std::istreambuf_iterator<char>(file), {}), std::regex("\r"), "");
}

// Runs the flow on `knobs` with the replies and image.txt; the exit code. A flash program that
// never ends ends afterwards, and the flow's worker lets go of the script first.
int RunScripted(Script* script, const string& knobs, const string& input, const string& image) {
  std::istringstream words(knobs);
  for (string word; words >> word;)
    script->knobs[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
  script->input = input;
  std::ofstream("image.txt", std::ios::binary) << image;
  g_script = script;
  InstallPlatformSeam(kFake);
  int code = RunUpdate();
  std::unique_lock<std::mutex> held{script->lock};
  script->flashEnded = true;
  script->changed.notify_all();
  script->changed.wait(held, [script] { return script->flashReleased; });
  InstallPlatformSeam(RealPlatformSeam());
  return code;
}

// Whether a second is slept after each countdown line and before each line of the wait for the
// flash. (Found by hand: code page 932 puts regex characters into the texts' bytes.)
bool SleepsInPlace(const string& console) {
  // A second slept ('|') right after the line end that follows, or that goes before, each `text`.
  auto slept = [&console](const char* text, bool after) {
    for (size_t at = console.find(text); at != string::npos; at = console.find(text, at + 1)) {
      size_t end = after ? console.find('\r', at) : console.rfind('\r', at);
      if (end == string::npos || console[end + 1] != '|') return false;
    }
    return true;
  };
  return slept("残り時間＝", true) && slept("経過時間＝", false);
}

using Flow = InFolder;

// Each case: knobs, image.txt, then the exit code, the trace (A: all sixteen FRU reads), the
// seconds slept, a text the console shows, and the run log's outcome ("" for no log).
TEST_F(Flow, DecidesAsThePlatformAnswers) {
  const char* kImage = "fw.ima\n";
  const struct {
    const char *knobs, *image;
    int exitCode;
    const char* trace;
    int slept;
    const char *shown, *logged;
  } kCases[] = {
      // clang-format off
      {"",                         kImage, 0, "LBAV[GXfV]gP",    300,  "正常にBMCのアップデートが完了しました", "updated"},
      // Interrupts in the span: acknowledged where the flow waits, once; the run goes on.
      {"irq=3",                    kImage, 0, "LBAV[GXf!V]gP",   300,  "正常に", "updated"},
      {"irq=301",                  kImage, 0, "LBAV[GXfV!]gP",   300,  "正常に", "updated"},
      {"rev=0912,8916,0916 irq=302", kImage, 0, "LBAV[GXfVR!V]gP", 390, "正常に", "updated"},
      // A request an interrupt cut short: made again in the span, never before it.
      {"break=18",                 kImage, 0, "LBAV[GXfVV]gP",   300,  "正常に", "updated"},
      {"break=3",                  kImage, 4, "LBFFFP",          0,    "[011] fru.txt cannot be opened.", "no-answer"},
      {"rev=0912,8916,0916",       kImage, 0, "LBAV[GXfVRV]gP",  390,  "BMC再起動中です", "updated"},
      {"rev=0912,8916,8916",       kImage, 8, "LBAV[GXfVRV]gP",  390,  "[008]", "still-busy"},
      {"rev=0912,0917",            kImage, 7, "LBAV[GXfV]gP",    300,  "[007]", "not-updated"},
      {"rev=0916",                 kImage, 5, "LBAVP",           0,    "[005]", "already-current"},
      {"rev=-",                    kImage, 6, "LBAVP",           0,    "[006]", "version-unknown"},
      // A flash program that cannot start, or outlasts the wait: nothing more reaches the BMC; the
      // guard stays up for a flash program that still runs, past the box and the pause.
      {"start=-1",                 kImage, 7, "LBAV[GXf]gP",     0,    "[015] Yafuflash.exe cannot be started.", "flash-not-started"},
      {"end=never",                kImage, 7, "LBAV[GX]gPf",     2100, "（経過時間＝30:00）\r\n[014] the flash program is still running.", "flash-running"},
      // The folder, checked before anything reaches the BMC, in this order.
      {"size=-1 icmd=0",           "",     9, "L",   0, "[009] image name in image.txt is not valid.", ""},
      {"size=-1 icmd=0",           "\r\n", 9, "L",   0, "[009] image name in image.txt is not valid.", ""},
      {"size=-1 icmd=0",           kImage, 9, "L",   0, "[009] image file named in image.txt is missing or empty.", ""},
      {"size=0",                   kImage, 9, "L",   0, "[009] image file named in image.txt is missing or empty.", ""},
      {"icmd=0 flash=0",           kImage, 16, "L",  0, "[016] icmd.exe cannot be found.", ""},
      {"flash=0 probe=-1",         kImage, 16, "L",  0, "[016] Yafuflash.exe cannot be found.", ""},
      {"probe=-1 bmc=1",           kImage, 16, "L",  0, "[016] the tool's folder cannot be written.", ""},
      {"bmc=1",                    kImage, 17, "LB", 0, "[017] another update of this BMC is running on this PC.", ""},
      {"bmc=1 own=1",              kImage, 17, "LBP", 0, "[017]", ""},
      {"bmc=-1",                   kImage, 0, "LBAV[GXfV]gP",    300,  "正常に", "updated"},
      {"folder=1 own=1",           kImage, 13, "LP", 0, "[013] another update is running from this folder.", ""},
      {"folder=-1",                kImage, 0, "LBAV[GXfV]gP",    300,  "正常に", "updated"},
      // clang-format on
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(string(c.knobs) + " " + c.image);
    Script script;
    EXPECT_EQ(c.exitCode, RunScripted(&script, c.knobs, "y\nBmc-01.Lab\ny\n", c.image));
    EXPECT_EQ(c.trace, std::regex_replace(script.trace, std::regex("F{16}"), "A"));
    EXPECT_NE(string::npos, script.console.find(c.shown)) << script.console.substr(0, 2000);
    // A countdown sleeps after each line, the wait for the flash before each; nothing else sleeps.
    EXPECT_EQ(c.slept, std::count(script.console.begin(), script.console.end(), '|'));
    EXPECT_TRUE(SleepsInPlace(script.console));
    EXPECT_TRUE(*c.trace != 'L' || c.trace[1] != 'B' ||
                script.bmcLockName == "626d632d30312e6c6162");
    const string runlog = ReadAll("bmcupdate.log");
    EXPECT_EQ(*c.logged == '\0' ? 0 : 2, std::count(runlog.begin(), runlog.end(), '\n'));
    EXPECT_TRUE(*c.logged == '\0' || runlog.find(string("\t") + c.logged + "\n") != string::npos)
        << runlog;
    fs::remove("bmcupdate.log");
  }
}

// The checks of what the operator and image.txt give look at every byte, the first too, and a
// byte order mark only where it is one. A request that does not fit its buffer is not made.
TEST(Input, CheckedWhole) {
  const struct {
    int (*accept)(const char*, int, char*, int);
    string reply;
    int result;
  } kReplies[] = {{AcceptAddress, "&1.2.3.4\n", -1},
                  {AcceptAddress, "1.2.3.4&\n", -1},
                  {AcceptImageName, "\xFF\xFE\n", -2},
                  {AcceptImageName, "\xFE\xFF\n", -2},
                  {AcceptImageName,
                   "\xFF"
                   "ab\n",
                   0},
                  {AcceptImageName,
                   "\xFE"
                   "ab\n",
                   0}};
  for (const auto& c : kReplies) {
    char field[20];
    EXPECT_EQ(c.result, c.accept(c.reply.data(), static_cast<int>(c.reply.size()), field, 20))
        << c.reply;
  }
  Script script;
  g_script = &script;
  InstallPlatformSeam(kFake);
  char buffer[24];
  EXPECT_EQ(-1, RunIcmd(buffer, sizeof buffer, "00 20 18 01 > Version.txt", nullptr));
  InstallPlatformSeam(RealPlatformSeam());
  g_script = nullptr;
  EXPECT_EQ("", script.trace);
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
