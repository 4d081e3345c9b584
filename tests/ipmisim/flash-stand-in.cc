// Yafuflash.exe for the tests against ipmi_sim: logs its arguments to
// flash-args.txt (one per line, in brackets), copies its standard input to
// flash-stdin.bin, and then "flashes": copies flash-writes.txt, when there
// is one, over bmc-firmware.txt, the simulated BMC's revision file. Works in
// its current folder, which is the tool's.
#include <cstdio>

namespace {

// Copies everything from `from` to `to`.
void CopyStream(std::FILE* from, std::FILE* to) {
  char buffer[4096];
  for (size_t got = std::fread(buffer, 1, sizeof buffer, from); got > 0;
       got = std::fread(buffer, 1, sizeof buffer, from)) {
    std::fwrite(buffer, 1, got, to);
  }
}

void LogArguments(int argc, char** argv) {
  std::FILE* log = std::fopen("flash-args.txt", "w");
  if (log == nullptr) return;
  for (int i = 1; i < argc; ++i) std::fprintf(log, "[%s]\n", argv[i]);
  std::fclose(log);
}

void SaveInput() {
  std::FILE* copy = std::fopen("flash-stdin.bin", "wb");
  if (copy == nullptr) return;
  CopyStream(stdin, copy);
  std::fclose(copy);
}

// The new revision goes in whole (a temporary file renamed over the old),
// as the simulator may read it at any moment.
void Flash() {
  std::FILE* plan = std::fopen("flash-writes.txt", "rb");
  if (plan == nullptr) return;
  std::FILE* next = std::fopen("bmc-firmware.new", "wb");
  if (next != nullptr) {
    CopyStream(plan, next);
    if (std::fclose(next) == 0) std::rename("bmc-firmware.new", "bmc-firmware.txt");
  }
  std::fclose(plan);
}

}  // namespace

int main(int argc, char** argv) {
  LogArguments(argc, argv);
  SaveInput();
  Flash();
  return 0;
}
