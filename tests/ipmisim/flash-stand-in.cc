// Yafuflash.exe for the tests against ipmi_sim: logs its arguments to
// flash-args.txt (one per line, in brackets), copies its standard input to
// flash-stdin.bin, and then "flashes": puts flash-writes.txt, when there is
// one, in place of bmc-firmware.txt, the simulated BMC's revision file. Works
// in its current folder, which is the tool's.
#include <cstdio>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
  std::ofstream arguments("flash-args.txt");
  for (int i = 1; i < argc; ++i) arguments << '[' << argv[i] << "]\n";
  arguments.close();
  std::ofstream("flash-stdin.bin", std::ios::binary) << std::cin.rdbuf();
  // The new revision goes in whole (a file renamed over the old one), as the
  // simulator may read it at any moment.
  std::ifstream plan("flash-writes.txt", std::ios::binary);
  if (plan.is_open()) {
    std::ofstream("bmc-firmware.new", std::ios::binary) << plan.rdbuf();
    std::rename("bmc-firmware.new", "bmc-firmware.txt");
  }
  return 0;
}
