// Stand-in for the BMC flash program: records how it was started and what
// it was given on stdin, takes its time, then sets the simulated BMC's
// firmware revision. Always exits 0.
#include <chrono>
#include <cstdio>
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

}  // namespace

int main(int argc, char** argv) {
  PrepareStandardStreams();
  LogCall("flash", argc, argv);
  const char* commandLine = RawCommandLine();
  if (commandLine != nullptr) LogText("flash-cmdline", commandLine);
  LogText("flash-shielded", ShieldedFromConsoleInterrupt() != 0 ? "yes" : "no");
  CopyStandardInput();
  PrintChatter(argc, argv, "flashing");
  SimState state;
  LoadState(&state);
  std::this_thread::sleep_for(std::chrono::milliseconds(state.flashDelayMs));
  if (state.hasFlashSets) StoreFirmware(state.flashSets);
  PrintChatter(argc, argv, "done with");
  return 0;
}
