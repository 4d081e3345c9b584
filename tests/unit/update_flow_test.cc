// RunUpdate from the first prompt to the exit code, one row per path, with
// scripted standard input and icmd.exe captures.
#include "procedure/update.h"
#include "tests/unit/unit_support.h"

namespace {

const std::string kAddress = "192.168.100.200", kFactory = "TOLVE qs Family";
const std::string kAddressed = "y\n" + kAddress + "\n";  // confirmed, address typed
const std::string kDefault = kAddressed + "y\n";         // and the factory password chosen

// The icmd.exe command lines with `password`: `fru` FRU reads, then the
// version query (V) and cold reset (R) in the order of `rest`.
std::vector<std::string> Cmds(const std::string& password, int fru, const std::string& rest) {
  std::string head = "icmd.exe -N " + kAddress + " -P \"" + password + "\" ";
  std::vector<std::string> lines;
  for (int i = 0; i < fru; ++i)
    lines.push_back(head + "00 20 28 11 00 " + "0123456789ABCDEF"[i] + "0 00 10 > fru.txt");
  for (char c : rest)
    lines.push_back(head + (c == 'V' ? "00 20 18 01 > Version.txt" : "00 20 18 02 > nul"));
  return lines;
}

// The flash command line.
std::string Flash(const std::string& password, const std::string& image) {
  return "Yafuflash.exe -force-boot -preserve-config -nw -ip " + kAddress + " -u \"\" -p \"" +
         password + "\" " + image;
}

// A target model's sixteen FRU captures, then one per later command (the
// cold reset's "> nul" gets nothing); or those of another model.
std::vector<Capture> Target(const std::vector<std::string>& revisions) {
  std::vector<Capture> all = FruCaptures(0xCB, "MIRTA kn300");
  for (const std::string& r : revisions)
    all.push_back(r == "-" ? NoFile() : r[0] == '!' ? Output(r) : VersionCapture(r));
  return all;
}
std::vector<Capture> Other(int faultBlock = -1, FruFault fault = kFruGood) {
  return FruCaptures(0x0B, "MIRTA xn300", faultBlock, fault);
}

struct FlowCase {
  const char* name;
  std::string input;
  const char* image;  // image.txt, or null for none
  std::vector<Capture> captures;
  int exitCode;
  std::vector<std::string> commands;
  std::string flash;            // the flash command line, empty when none runs
  int prompts, pauses, sleeps;  // yes/no prompts shown, pauses, sleeps
  std::string left;             // capture files left: "f" fru.txt, "v" version.txt
  // ASCII pieces of the transcript in order; without a box the last ends it.
  std::vector<std::string> shown;
};

void PrintTo(const FlowCase& c, std::ostream* out) { *out << c.name; }

// One row per path, kept as laid out.
// clang-format off
const FlowCase kFlowCases[] = {
    {"declined", "n\n", "fw.bin\n", {}, 255, {}, "", 1, 0, 0, "", {"[y/n] : "}},
    {"input ends at the confirmation", "", "fw.bin\n", {}, 255, {}, "", 1, 0, 0, "", {"[y/n] : "}},
    {"99 unrecognised, then no", Repeat("x\n", 99) + "n\n", "fw.bin\n", {}, 255, {}, "", 100, 0, 0, "", {"[y/n] : "}},
    {"100 unrecognised lead to the address", Repeat("?\n", 100) + "n\n", "fw.bin\n", {}, 1, {}, "", 100, 1, 0, "", {"[001]"}},
    {"5-character address", "y\n1.2.3\n", "fw.bin\n", {}, 1, {}, "", 1, 1, 0, "", {"[001]"}},
    {"16-character address", "y\n192.168.100.2001\n", "fw.bin\n", {}, 1, {}, "", 1, 1, 0, "", {"[001]"}},
    {"metacharacter in the address", "y\n1.2.3.4&calc\ny\n", "fw.bin\n", {}, 1, {}, "", 1, 1, 0, "", {"[001]"}},
    {"input ends at the address", "y\n", "fw.bin\n", {}, 1, {}, "", 1, 1, 0, "", {"[001]"}},
    {"20-byte password", kAddressed + "n\n" + Repeat("p", 20) + "\n", "fw.bin\n", {}, 3, {}, "", 2, 1, 0, "", {"[003]"}},
    {"double quote in the password", kAddressed + "n\npa\"ss\n", "fw.bin\n", {}, 3, {}, "", 2, 1, 0, "", {"[003]"}},
    {"input ends at the password state", kAddressed, "fw.bin\n", {}, 3, {}, "", 2, 1, 0, "", {"[003]"}},
    {"input ends at the password", kAddressed + "n\n", "fw.bin\n", {}, 3, {}, "", 2, 1, 0, "", {"[003]"}},
    {"image.txt missing", kDefault, nullptr, {}, 9, {}, "", 2, 0, 0, "", {"[009] image.txt cannot be opened.\n"}},
    {"image name of 20 bytes", kDefault, "firmware-0916-ab.bin\r\n", {}, 9, {}, "", 2, 0, 0, "",
     {"[009] image name in image.txt is too long.\n"}},
    {"not a target model", kDefault, "fw.bin\n", Other(), 4, Cmds(kFactory, 16, ""), "", 2, 1, 0, "", {"[004]"}},
    {"no FRU capture at the 10th read", kDefault, "fw.bin\n", Other(9, kFruNoFile), 4, Cmds(kFactory, 10, ""), "", 2, 1, 0, "",
     {"[011] fru.txt cannot be opened.\n", "[004]"}},
    {"no FRU response at the 10th read", kDefault, "fw.bin\n", Other(9, kFruNoMarker), 4, Cmds(kFactory, 10, ""), "", 2, 1, 0, "f",
     {"[012] FRU DATA cannot be gotten.\n", "[004]"}},
    {"99 unrecognised, then the factory password", kAddressed + Repeat("x\n", 99) + "y\n", "fw.bin\n", Other(), 4,
     Cmds(kFactory, 16, ""), "", 101, 1, 0, "", {"[004]"}},
    {"already current, password ends the input", kAddressed + "n\nse cret", "fw.bin\n", Target({"09 16"}), 5,
     Cmds("se cret", 16, "V"), "", 2, 1, 0, "", {" : 09-16\n", "[005]"}},
    {"newer than the target", kDefault, "fw.bin\n", Target({"09 17"}), 5, Cmds(kFactory, 16, "V"), "", 2, 1, 0, "", {" : 09-17\n", "[005]"}},
    {"not updatable", kDefault, "fw.bin\n", Target({"09 13"}), 6, Cmds(kFactory, 16, "V"), "", 2, 1, 0, "", {" : 09-13\n", "[006]"}},
    {"no version response", kDefault, "fw.bin\n", Target({"!timeout\n"}), 6, Cmds(kFactory, 16, "V"), "", 2, 1, 0, "v", {"[006]"}},
    {"no version capture", kDefault, "fw.bin\n", Target({"-"}), 6, Cmds(kFactory, 16, "V"), "", 2, 1, 0, "",
     {"[010] version.txt cannot be opened.\n", "[006]"}},
    {"updated, 19-byte image name", kDefault, "firmware-0916-a.bin\r\n", Target({"09 12", "09 16"}), 0, Cmds(kFactory, 16, "VV"),
     Flash(kFactory, "firmware-0916-a.bin"), 2, 1, 300, "", {" : 09-12\n\nBMC", "05:00", "00:01", "\r\n\nBMC", " : 09-16\n", "09-16"}},
    {"updated after a cold reset", kDefault, "fw.bin\n", Target({"09 11", "89 16", "-", "09 16"}), 0, Cmds(kFactory, 16, "VVRV"),
     Flash(kFactory, "fw.bin"), 2, 1, 390, "", {" : 09-11\n", "\r\n\nBMC", " : 89-16\nBMC", "01:30", "00:01", "\r\n\nBMC", " : 09-16\n"}},
    {"wrong revision after the flash", kDefault, "fw.bin\n", Target({"09 12", "09 17"}), 7, Cmds(kFactory, 16, "VV"),
     Flash(kFactory, "fw.bin"), 2, 1, 300, "", {" : 09-17\n", "[007]"}},
    {"still busy after the cold reset", kDefault, "fw.bin\n", Target({"09 14", "8A 00", "-", "8A 00"}), 8, Cmds(kFactory, 16, "VVRV"),
     Flash(kFactory, "fw.bin"), 2, 1, 390, "", {" : 8A-00\n", " : 8A-00\n", "[008]"}},
    {"empty image.txt", kDefault, "", Target({"09 12", "09 16"}), 0, Cmds(kFactory, 16, "VV"), Flash(kFactory, ""), 2, 1, 300, "", {}},
    {"100 unrecognised password states", kAddressed + Repeat("x\n", 100) + "y\n", "fw.bin\n", Target({"09 12", "09 16"}), 0,
     Cmds("", 16, "VV"), Flash("", "fw.bin"), 101, 1, 300, "", {}},
};
// clang-format on

class UpdateFlowTest : public FolderTest, public ::testing::WithParamInterface<FlowCase> {};

TEST_P(UpdateFlowTest, EndsWithItsExitCode) {
  const FlowCase& c = GetParam();
  const std::string& out = g_fake.transcript;
  g_fake.input = c.input;
  g_fake.captures = c.captures;
  if (c.image != nullptr) WriteFile("image.txt", c.image);
  EXPECT_EQ(RunUpdate(), c.exitCode);
  EXPECT_EQ(g_fake.commands, c.commands);
  std::vector<std::string> flash(c.flash.empty() ? 0 : 1, c.flash);
  EXPECT_EQ(g_fake.childCommands, flash);
  EXPECT_EQ(g_fake.childInputs, std::vector<std::string>(flash.size(), "yes.txt"));
  EXPECT_EQ(g_fake.threads, static_cast<int>(flash.size()));
  int prompts = 0;
  for (std::size_t at = out.find("[y/n] : "); at != std::string::npos;
       at = out.find("[y/n] : ", at + 1))
    ++prompts;
  EXPECT_EQ(prompts, c.prompts);
  EXPECT_EQ(g_fake.pauses, c.pauses);
  EXPECT_EQ(g_fake.sleeps.size(), static_cast<std::size_t>(c.sleeps));
  EXPECT_EQ(std::filesystem::exists("fru.txt"), c.left.find('f') != std::string::npos);
  EXPECT_EQ(std::filesystem::exists("version.txt"), c.left.find('v') != std::string::npos);
  std::size_t at = 0;
  for (const std::string& piece : c.shown) {
    at = out.find(piece, at);
    ASSERT_NE(at, std::string::npos) << piece << " in\n" << out;
    at += piece.size();
  }
  if (c.pauses == 0 && !c.shown.empty()) {
    EXPECT_EQ(out.rfind(c.shown.back()), out.size() - c.shown.back().size());
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, UpdateFlowTest, ::testing::ValuesIn(kFlowCases));

}  // namespace
