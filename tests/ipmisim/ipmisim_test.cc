// The POSIX tool end to end over real RMCP+: bmcupdate-fast runs our icmd.exe,
// which runs ipmitool, which talks to OpenIPMI's ipmi_sim on a loopback address
// of the case's own, with a real FRU and the test plug-in's Get Device ID.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

const char kFactory[] = "TOLVE qs Family";
const char kYes[] = "y\r\ny\r\nY\r\n";
// Yafuflash.exe: logs its arguments and input, then "flashes" the planned revision.
const char kFlash[] =
    "#!/bin/sh\nprintf '[%s]' \"$@\" > flash.log\ncat >> flash.log\n"
    "mv flash-writes.txt bmc-firmware.txt\n";
const char kShortRead[] = "respData[len=9]: 08 00 00 00 00 00 00 00 00\n";

// One simulated BMC, on 127.0.0.<2 + row>, and what the tool must make of it.
struct SimCase {
  const char* name;
  const char* product;   // the FRU's product name
  int fruSize;           // FRU bytes the simulator holds; 0: no FRU device
  const char* password;  // the BMC's; typed by the operator, or the factory one chosen
  bool typed;
  const char* firmware;  // the BMC's revision when the tool starts ("?": none)
  const char* flashed;   // after the flash ("": the flash must not run)
  const char* reset;     // after a cold reset ("": none may come)
  bool frozen;           // the simulator is stopped (SIGSTOP) before the tool runs
  int exitCode;          // the tool's
  const char* trace;     // the revisions shown and the codes reported, in order
  const char* fruLeft;   // what fru.txt holds at the end ("-": no fru.txt)
} const kCases[] = {
    // clang-format off
    {"UpdatesDirectly", "MIRTA kn300", 256, kFactory, false, "09 12", "09 16", "", false, 0, "09-12\n09-16\n", "-"},
    {"UpdatesThroughColdReset", "MIRTA vn300", 256, kFactory, false, "09 12", "89 16", "09 16", false, 0,
     "09-12\n89-16\n09-16\n", "-"},
    {"StillBusyAfterColdReset", "QX5200-kn/KN20", 256, kFactory, false, "09 12", "89 16", "89 16", false, 8,
     "09-12\n89-16\n89-16\n[008]", "-"},
    {"AlreadyCurrent", "QX5200-kn/KN20", 256, "Own pass 7", true, "09 16", "", "", false, 5, "09-16\n[005]", "-"},
    {"NotTargetModel", "MIRTA kn301", 256, kFactory, false, "09 12", "", "", false, 4, "[004]", "-"},
    {"WrongPassword", "MIRTA kn300", 256, "Other pass", false, "09 12", "", "", false, 4, "[012][004]", ""},
    {"FruErrorCompletionCode", "MIRTA kn300", 0, kFactory, false, "09 12", "", "", false, 4, "[012][004]", ""},
    // The last read, at F0h, gets 8 bytes where 16 are asked.
    {"ShortFruRead", "MIRTA kn300", 0xF8, kFactory, false, "09 12", "", "", false, 4, "[012][004]", kShortRead},
    {"VersionErrorCompletionCode", "MIRTA kn300", 256, kFactory, false, "?", "", "", false, 6, "[006]", "-"},
    // ipmitool gives up after its retries (about 20 s); the first FRU read fails.
    {"BmcDoesNotAnswer", "MIRTA kn300", 256, kFactory, false, "09 12", "", "", true, 4, "[012][004]", ""},
    // clang-format on
};

// Writes the whole file.
void Write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The whole file; "" when there is none.
std::string Read(const fs::path& path) {
  return std::string(std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {});
}

// Why the cases cannot run here, or "".
std::string Missing() {
  if (std::system("which ipmi_sim ipmitool >/dev/null") != 0) return "no ipmi_sim or ipmitool";
  if (std::string(PLUGIN_PATH).empty()) return "no plug-in: OpenIPMI headers were missing";
  return geteuid() == 0 ? "" : "listening on port 623 needs root";
}

// ipmi_sim's configuration in `folder`: the BMC, its FRU, the password of the
// anonymous user (in its user file: lan.conf cannot hold a blank).
void Configure(const SimCase& c, const std::string& address, const fs::path& folder) {
  fs::create_directories(folder / "state/ipmi_sim/bmc");
  Write(folder / "lan.conf", "name \"bmc\"\nset_working_mc 0x20\nstartlan 1\n addr " + address +
                                 " 623\n guid a123456789abcdefa123456789abcdef\nendlan\n"
                                 "loadlib \"" PLUGIN_PATH "\" \"-\"\n");
  std::string fru = "mc_add_fru_data 0x20 0 " + std::to_string(c.fruSize) + " file 0 \"fru.bin\"\n";
  Write(folder / "bmc.emu",
        "mc_setbmc 0x20\nmc_add 0x20 0x20 no-device-sdrs 0x10 0x09 0x12 0x9f 0x000000 0x0000\n" +
            (c.fruSize > 0 ? fru : "") + "mc_enable 0x20\n");
  // The product name's type/length byte at 73h, the name from 74h.
  std::string image(256, '\0'), name = c.product, password = c.password;
  image[0x73] = static_cast<char>(0xC0 | name.size());
  Write(folder / "fru.bin", image.replace(0x74, name.size(), name));
  for (size_t i = password.size(); i < 20; ++i) password += "\\00";
  Write(folder / "state/ipmi_sim/bmc/users.mc20",
        "1.valid:i:1\n1.username:d:\n1.passwd:d:" + password + "\n1.privilege:i:4\n");
}

// Starts ipmi_sim in `folder`, to die with the test at the latest. Its pid
// once it listens, or -1.
pid_t Start(int host, const fs::path& folder) {
  char socket[32];  // its local end as /proc/net/udp shows it
  std::snprintf(socket, sizeof socket, ": %02X00007F:026F ", host);
  if (Read("/proc/net/udp").find(socket) != std::string::npos) return -1;  // left from a run
  const std::string command = "cd '" + folder.string() +
                              "' && exec ipmi_sim -c lan.conf -f bmc.emu -s state -n >sim.log 2>&1";
  pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
    _exit(127);
  }
  for (int wait = 0; wait < 500 && waitpid(pid, nullptr, WNOHANG) == 0; ++wait) {
    if (Read("/proc/net/udp").find(socket) != std::string::npos) return pid;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);  // it never listened
  return -1;
}

// What the operator puts beside the tool, the flash program being kFlash.
void Kit(const fs::path& folder, const std::string& image) {
  fs::copy_file(TOOL_PATH, folder / "bmcupdate");
  fs::copy_file(ICMD_PATH, folder / "icmd.exe");
  Write(folder / "Yafuflash.exe", kFlash);
  fs::permissions(folder / "Yafuflash.exe", fs::perms::owner_all);
  Write(folder / "image.txt", image);
  Write(folder / image.substr(0, image.find_first_of("\r\n")), "simulated firmware image\n");
  Write(folder / "yes.txt", kYes);
}

class OverRmcpPlus : public testing::TestWithParam<int> {};

TEST_P(OverRmcpPlus, EndsAsTheBmcAnswers) {
  if (!Missing().empty()) GTEST_SKIP() << Missing();
  const SimCase& c = kCases[GetParam()];
  const int host = 2 + GetParam();
  const std::string address = "127.0.0." + std::to_string(host);
  const fs::path folder = fs::absolute(fs::path("work") / c.name);
  fs::remove_all(folder);
  Configure(c, address, folder);
  Kit(folder, "BMC_fw_0916_rel.ima\r\n");
  Write(folder / "flash-writes.txt", c.flashed);
  Write(folder / "after-reset.txt", c.reset);
  Write(folder / "stdin.txt",
        "y\n" + address + (c.typed ? "\nn\n" + std::string(c.password) : "\ny") + "\n");
  // The simulator asks for the device ID as it starts, and dies of an error.
  Write(folder / "bmc-firmware.txt", "09 12");
  const pid_t simulator = Start(host, folder);
  ASSERT_GT(simulator, 0) << "no ipmi_sim on " << address << ":623 (one left from a run?):\n"
                          << Read(folder / "sim.log");
  Write(folder / "bmc-firmware.txt", c.firmware);
  if (c.frozen) kill(simulator, SIGSTOP);  // it keeps its address, mute
  int status = std::system(
      ("cd '" + folder.string() + "' && ./bmcupdate <stdin.txt >stdout.txt 2>stderr.txt").c_str());
  kill(simulator, SIGKILL);
  waitpid(simulator, nullptr, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitCode) << status;
  std::string out = Read(folder / "stdout.txt"), trace;
  const std::regex mark("\\[0..\\]|\\d\\d-\\d\\d\\n");
  for (std::sregex_iterator at(out.begin(), out.end(), mark), end; at != end; ++at) {
    trace += at->str();
  }
  EXPECT_EQ(trace, c.trace) << out;
  // The BMC got a cold reset when it was busy, and only then.
  EXPECT_NE(fs::exists(folder / "after-reset.txt"), trace.find("89-16") != std::string::npos);
  EXPECT_EQ(fs::exists(folder / "fru.txt") ? Read(folder / "fru.txt") : "-", c.fruLeft);
  // The flash got the typed address and password, the image and yes.txt; or never ran.
  EXPECT_EQ(Read(folder / "flash.log"), c.flashed[0] == '\0'
                                            ? ""
                                            : "[-force-boot][-preserve-config][-nw][-ip][" +
                                                  address + "][-u][][-p][" + c.password +
                                                  "][BMC_fw_0916_rel.ima]" + kYes);
}

INSTANTIATE_TEST_SUITE_P(Cases, OverRmcpPlus,
                         testing::Range(0, static_cast<int>(std::size(kCases))),
                         [](const testing::TestParamInfo<int>& row) {
                           return std::string(kCases[row.param].name);
                         });

// fleet/update.yml: two BMCs in one play; the simulators die with the test.
TEST(Fleet, UpdatesTwoBmcsInOnePlay) {
  if (!Missing().empty() || std::system("which ansible-playbook >/dev/null") != 0) GTEST_SKIP();
  const fs::path runs = fs::absolute("work/fleet"), kit = runs / "kit";
  fs::remove_all(runs);
  fs::create_directories(kit);
  Kit(kit, "yes.txt");  // the image: any file will do
  std::string inventory;
  for (const std::string host : {"40", "41"}) {
    Configure(kCases[0], "127.0.0." + host, runs / host);
    Write(runs / host / "bmc-firmware.txt", "09 12");
    Write(runs / host / "flash-writes.txt", "09 16");
    ASSERT_GT(Start(std::stoi(host), runs / host), 0);
    inventory += host + " bmc_address=127.0.0." + host + "\n";
  }
  Write(runs / "hosts", inventory);
  (void)std::system(("cd " + runs.string() +
                     " && ansible-playbook -i hosts " FLEET_PLAYBOOK
                     " -e bmcupdate_kit=kit -e bmcupdate_runs=. >play.txt")
                        .c_str());
  EXPECT_TRUE(std::regex_search(
      Read(runs / "summary.tsv"),
      std::regex("\n40\t127.0.0.40\t0\tupdated\t.*\n41\t127.0.0.41\t0\tupdated\t")))
      << Read(runs / "play.txt");
}

}  // namespace
