// Stand-in for the BMC flash program: records how it was started and what
// it was given on stdin, takes its time, then sets the simulated BMC's
// firmware revision. Always exits 0.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "host.h"
#include "simlog.h"
#include "state.h"

namespace {

const char kStdinCopy[] = "yafuflash-stdin.bin";

// Copies all of stdin into kStdinCopy; a stdin that is closed or unusable
// leaves the copy empty.
void CopyStandardInput() {
  std::FILE* copy = std::fopen(kStdinCopy, "wb");
  char buffer[4096];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
    if (copy != nullptr) std::fwrite(buffer, 1, got, copy);
  }
  if (copy != nullptr) std::fclose(copy);
}

// Chatter of a flash program, which the caller must keep off its console.
void PrintChatter(int argc, char** argv, const char* phase) {
  const char* image = argc > 1 ? argv[argc - 1] : "";
  std::printf("Yafuflash: %s image %s\n", phase, image);
  std::fprintf(stderr, "Yafuflash: progress on stderr (%s)\n", phase);
  std::fflush(stdout);
}

// Whether file `name` holds `text`.
bool FileHolds(const char* name, const char* text) {
  std::ifstream file(name, std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return all.find(text) != std::string::npos;
}

// Takes flash_delay_ms, or less once the file that flash_until= names holds
// its text: a flash that ends at a given point of the caller's output.
void TakeTime(const SimState& state) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(state.flashDelayMs);
  std::string until = state.flashUntil;
  size_t colon = until.find(':');
  while (std::chrono::steady_clock::now() < end) {
    if (colon != std::string::npos &&
        FileHolds(until.substr(0, colon).c_str(), until.c_str() + colon + 1)) {
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

int main(int argc, char** argv) {
  PrepareStandardStreams();
  LogCall("flash", argc, argv);
  const char* commandLine = RawCommandLine();
  if (commandLine != nullptr) LogText("flash-cmdline", commandLine);
  LogText("flash-shielded", ShieldedFromConsoleInterrupt() != 0 ? "yes" : "no");
  LogText("flash-lock", HoldsOpenFile("bmcupdate.lck") ? "held" : "none");
  char console[16];
  int sharing = ConsoleProcessCount();
  std::snprintf(console, sizeof console, "%d", sharing);
  if (sharing >= 0) LogText("flash-console", console);
  // A flash program opens its image before it reads its answers: were its
  // standard input closed, the image would be what it reads.
  std::FILE* image = argc > 1 ? std::fopen(argv[argc - 1], "rb") : nullptr;
  CopyStandardInput();
  if (image != nullptr) std::fclose(image);
  PrintChatter(argc, argv, "flashing");
  SimState state;
  LoadState(&state);
  TakeTime(state);
  if (state.hasFlashSets) StoreFirmware(state.flashSets);
  PrintChatter(argc, argv, "done with");
  return 0;
}
