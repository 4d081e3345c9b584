// Configuring, starting, freezing and killing ipmi_sim for one test.
#include "simulator.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

// How long a simulator may take to listen.
const std::chrono::seconds kStartBound(5);

// The whole file; empty when it cannot be read.
std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Writes the whole file; false when that failed.
bool WriteWhole(const std::string& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << content;
  return file.good();
}

// The template with each "@KEY@" replaced.
std::string Fill(std::string text, const std::string& key, const std::string& value) {
  const std::string marker = "@" + key + "@";
  for (size_t at = text.find(marker); at != std::string::npos;
       at = text.find(marker, at + value.size())) {
    text.replace(at, marker.size(), value);
  }
  return text;
}

// The user file ipmi_sim keeps in its state folder: user 1, the anonymous
// user (empty name), with administrator rights and the password, written
// as its 20 bytes, NUL-padded (a blank cannot be written in lan.conf).
std::string UsersFile(const std::string& password) {
  std::string padded = password;
  for (size_t i = password.size(); i < 20; ++i) padded += "\\00";
  std::string name;
  for (int i = 0; i < 16; ++i) name += "\\00";
  return "1.valid:i:1\n1.username:d:" + name + "\n1.passwd:d:" + padded +
         "\n1.privilege:i:4\n1.max_sessions:i:10\n";
}

// The address and port as /proc/net/udp shows a bound socket's local end.
std::string ProcNetKey(const std::string& address) {
  struct in_addr binary;
  if (inet_pton(AF_INET, address.c_str(), &binary) != 1) return "?";
  char key[32];
  std::snprintf(key, sizeof key, "%08X:%04X", static_cast<unsigned>(binary.s_addr), 623);
  return key;
}

// True when a UDP socket is bound to that local end.
bool Listening(const std::string& key) {
  std::ifstream table("/proc/net/udp");
  std::string line;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot;
    std::string local;
    if (fields >> slot >> local && local == key) return true;
  }
  return false;
}

// lan.conf, bmc.emu, fru.bin and the user file, from the templates.
bool WriteConfiguration(const std::string& folder, const SimulatorSetup& setup) {
  std::string lan = Fill(ReadWhole(IPMISIM_TEMPLATE_DIR "/lan.conf.in"), "ADDRESS", setup.address);
  lan = Fill(Fill(lan, "PLUGIN", IPMISIM_PLUGIN_PATH), "FIRMWARE_FOLDER", setup.firmwareFolder);
  std::string fru;
  if (setup.fruSize > 0) {
    char line[64];
    std::snprintf(line, sizeof line, "mc_add_fru_data 0x20 0 0x%x file 0 ", setup.fruSize);
    fru = std::string(line) + "\"" + fs::absolute(folder + "/fru.bin").string() + "\"";
  }
  std::string emu = Fill(ReadWhole(IPMISIM_TEMPLATE_DIR "/bmc.emu.in"), "FRU", fru);
  std::error_code error;
  fs::create_directories(folder + "/state/ipmi_sim/bmc", error);
  return lan.find('@') == std::string::npos && emu.find('@') == std::string::npos &&
         WriteWhole(folder + "/lan.conf", lan) && WriteWhole(folder + "/bmc.emu", emu) &&
         WriteWhole(folder + "/fru.bin", FruImage(setup.product)) &&
         WriteWhole(folder + "/state/ipmi_sim/bmc/users.mc20", UsersFile(setup.password));
}

// Starts ipmi_sim in `folder`, its output into sim.log there. It dies with
// the test process even when no destructor runs.
pid_t Launch(const std::string& folder) {
  std::string logPath = folder + "/sim.log";
  const char* argv[] = {"ipmi_sim", "-c",    "lan.conf", "-f",   "bmc.emu",
                        "-s",       "state", "-n",       nullptr};
  pid_t child = fork();
  if (child != 0) return child;
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int none = open("/dev/null", O_RDONLY);
  if (log < 0 || none < 0 || chdir(folder.c_str()) != 0) _exit(127);
  dup2(none, STDIN_FILENO);
  dup2(log, STDOUT_FILENO);
  dup2(log, STDERR_FILENO);
  execvp(argv[0], const_cast<char* const*>(argv));
  _exit(127);
}

}  // namespace

Simulator::~Simulator() { KillSimulator(this); }

std::string MissingPrerequisite() {
  if (std::system("command -v ipmi_sim > /dev/null") != 0) {
    return "ipmi_sim is not installed (Debian package openipmi)";
  }
  if (std::system("command -v ipmitool > /dev/null") != 0) {
    return "ipmitool is not installed (Debian package ipmitool)";
  }
  if (std::string(IPMISIM_PLUGIN_PATH).empty()) {
    return "the simulator plug-in was not built: no OpenIPMI headers at configure time "
           "(Debian package libopenipmi-dev)";
  }
  std::ifstream lowest("/proc/sys/net/ipv4/ip_unprivileged_port_start");
  int firstFree = 1024;
  lowest >> firstFree;
  if (geteuid() != 0 && firstFree > 623) return "listening on port 623 needs root";
  return "";
}

std::string FruImage(const std::string& product) {
  std::string fru(256, '\0');
  // Common header: version 1, the product area at 68h (13 units of 8).
  const unsigned char header[7] = {0x01, 0x00, 0x00, 0x00, 0x0D, 0x00, 0x00};
  unsigned sum = 0;
  for (int i = 0; i < 7; ++i) sum += fru[i] = static_cast<char>(header[i]);
  fru[7] = static_cast<char>(-sum & 0xFF);
  // Product area: version, length, language, a 7-byte maker, the name at
  // 73h/74h, four empty fields, the file ID field, the end mark.
  std::string area = std::string("\x01\x00\x00\xC7", 4) + "SIMTEST";
  area += static_cast<char>(0xC0 | (product.size() & 0x3F));
  area += product.substr(0, 63);
  area += std::string("\xC0\xC0\xC0\xC0\xC0\xC1", 6);
  while ((area.size() + 1) % 8 != 0) area += '\0';
  area[1] = static_cast<char>((area.size() + 1) / 8);
  sum = 0;
  for (char c : area) sum += static_cast<unsigned char>(c);
  area += static_cast<char>(-sum & 0xFF);
  fru.replace(0x68, area.size(), area);
  return fru;
}

bool StartSimulator(const std::string& folder, const SimulatorSetup& setup, Simulator* simulator) {
  const std::string key = ProcNetKey(setup.address);
  if (Listening(key)) {
    ADD_FAILURE() << setup.address << ":623 is taken: a simulator left from an earlier run?";
    return false;
  }
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(folder, error);
  if (!WriteConfiguration(folder, setup)) {
    ADD_FAILURE() << "cannot write the simulator's configuration into " << folder;
    return false;
  }
  simulator->folder = folder;
  simulator->pid = Launch(folder);
  if (simulator->pid < 0) {
    ADD_FAILURE() << "cannot start ipmi_sim";
    return false;
  }
  auto deadline = std::chrono::steady_clock::now() + kStartBound;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(simulator->pid, &status, WNOHANG) == simulator->pid) {
      simulator->pid = -1;
      ADD_FAILURE() << "ipmi_sim ended at start:\n" << ReadWhole(folder + "/sim.log");
      return false;
    }
    if (Listening(key)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ADD_FAILURE() << "ipmi_sim does not listen on " << setup.address << ":623:\n"
                << ReadWhole(folder + "/sim.log");
  return false;
}

void KillSimulator(Simulator* simulator) {
  if (simulator->pid <= 0) return;
  kill(simulator->pid, SIGKILL);
  int status = 0;
  while (waitpid(simulator->pid, &status, 0) < 0 && errno == EINTR) {
  }
  simulator->pid = -1;
}
