// RunUpdate's command lines, flash, sleeps and leftover captures on the paths
// that reach the BMC. The end-to-end tests check what the operator sees and
// the exit codes; these check what they cannot: the exact command texts
// (after 99 and 100 unrecognised replies too) and the captures.
#include "procedure/update.h"
#include "tests/unit/unit.h"

namespace {

const std::string kAddress = "192.168.100.200", kFactory = "TOLVE qs Family";
const std::string kAddressed = "Yes\n" + kAddress + "\n";  // confirmed, address typed

// `times` replies that are neither yes nor no.
std::string Unrecognised(int times) { return times > 0 ? "x\n" + Unrecognised(times - 1) : ""; }

// A target model's sixteen FRU captures, then one per later command ("-":
// no file).
std::vector<Capture> Target(const std::vector<std::string>& revisions) {
  std::vector<Capture> all = FruCaptures(0xCB, "MIRTA kn300");
  for (const std::string& r : revisions) all.push_back(r == "-" ? Capture() : VersionCapture(r));
  return all;
}

struct FlowCase {
  const char* name;
  std::string input;
  std::vector<Capture> captures;
  int exitCode;
  std::string password;  // on every command line
  std::string after;     // after the FRU reads: version queries (V), cold resets (R)
  std::size_t sleeps;    // of the countdowns; the flash runs when there are any
};

void PrintTo(const FlowCase& c, std::ostream* out) { *out << c.name; }

// clang-format off
const FlowCase kFlowCases[] = {
    {"99 unrecognised, then the factory password", kAddressed + Unrecognised(99) + "y\n",
     FruCaptures(0x0B, "MIRTA xn300"), 4, kFactory, "", 0},
    {"typed password ends the input, already current", kAddressed + "n\nse cret", Target({"09 16"}), 5, "se cret", "V", 0},
    {"updated", kAddressed + "y\n", Target({"09 12", "09 16"}), 0, kFactory, "VV", 300},
    {"updated after a cold reset", kAddressed + "y\n", Target({"09 11", "89 16", "-", "09 16"}), 0, kFactory, "VVRV", 390},
    {"100 unrecognised password states", kAddressed + Unrecognised(100) + "y\n", Target({"09 14", "09 16"}), 0, "", "VV", 300},
};
// clang-format on

class UpdateFlowTest : public FolderTest, public ::testing::WithParamInterface<FlowCase> {};

TEST_P(UpdateFlowTest, RunsTheCommandsOfItsPath) {
  const FlowCase& c = GetParam();
  g_fake.input = c.input;
  g_fake.captures = c.captures;
  WriteFile("image.txt", "firmware-0916-a.bin\r\n");  // 19 bytes, line end dropped
  EXPECT_EQ(RunUpdate(), c.exitCode);
  std::string head = "icmd.exe -N " + kAddress + " -P \"" + c.password + "\" ";
  std::vector<std::string> commands;
  for (char block : std::string("0123456789ABCDEF"))
    commands.push_back(head + "00 20 28 11 00 " + block + "0 00 10 > fru.txt");
  for (char step : c.after)
    commands.push_back(head + (step == 'V' ? "00 20 18 01 > Version.txt" : "00 20 18 02 > nul"));
  EXPECT_EQ(g_fake.commands, commands);
  std::vector<std::string> flash(
      c.sleeps > 0 ? 1 : 0, "Yafuflash.exe -force-boot -preserve-config -nw -ip " + kAddress +
                                " -u \"\" -p \"" + c.password + "\" firmware-0916-a.bin < yes.txt");
  EXPECT_EQ(g_fake.children, flash);
  EXPECT_EQ(g_fake.threads, static_cast<int>(flash.size()));  // the flash runs on its own thread
  EXPECT_EQ(g_fake.sleeps.size(), c.sleeps);
  // Every capture was read whole, so none is left.
  EXPECT_FALSE(std::filesystem::exists("fru.txt"));
  EXPECT_FALSE(std::filesystem::exists("version.txt"));
}

INSTANTIATE_TEST_SUITE_P(Paths, UpdateFlowTest, ::testing::ValuesIn(kFlowCases));

}  // namespace
