// OpenIPMI's ipmi_sim as the BMC of one test: its configuration, made
// fresh for the test, started on a loopback address of the test's own and
// stopped by process id when the test ends, however it ends.
#ifndef BMCUPDATE_TESTS_IPMISIM_SIMULATOR_H_
#define BMCUPDATE_TESTS_IPMISIM_SIMULATOR_H_

#include <sys/types.h>

#include <string>

// What one simulated BMC holds.
struct SimulatorSetup {
  std::string address;         // the loopback address it listens on, port 623
  std::string password;        // the anonymous user's password
  std::string product;         // the product name in its FRU
  int fruSize;                 // FRU device 0's size in bytes; 0: no FRU device
  std::string firmwareFolder;  // absolute; the plug-in's bmc-firmware.txt and log
};

// A running simulator; killed when this goes out of scope.
struct Simulator {
  pid_t pid = -1;
  std::string folder;  // its configuration, state folder and output
  Simulator() = default;
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;
  ~Simulator();
};

// Why the tests against the simulator cannot run on this machine, or "".
std::string MissingPrerequisite();

// A 256-byte FRU image with the product name's type/length byte at 73h and
// the name from 74h, inside a valid common header and product area.
std::string FruImage(const std::string& product);

// Makes `folder` afresh with the simulator's configuration, starts it and
// waits (a few seconds at most) until it listens. False, with the reason
// reported as a test failure, when it does not.
bool StartSimulator(const std::string& folder, const SimulatorSetup& setup, Simulator* simulator);

// Kills the simulator and waits for it. Does nothing when none runs.
void KillSimulator(Simulator* simulator);

#endif  // BMCUPDATE_TESTS_IPMISIM_SIMULATOR_H_
