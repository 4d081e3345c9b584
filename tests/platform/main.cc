// The platform tests. Started as "platform_tests --platform-child NAME
// ARGUMENT" the program instead does one piece of work in a sub-process of
// its own, so that a test can see what reaches that process's own standard
// streams.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "tests/platform/support.h"

namespace {

// The tool's console in a row: our unflushed text around a command's output,
// a capture (standard output only) and "nul"; then the result box's pause,
// and whatever standard input still holds after it.
int Console() {
  std::printf("before-command\n");
  RunInterpreter("fake_tool --out DURING-COMMAND");
  RunInterpreter("fake_tool --out CAPTURED-OUT --err CONSOLE-ERR > Version.txt");
  RunInterpreter("fake_tool --out DISCARDED-OUT --err DISCARD-ERR > nul");
  std::printf("after-command\n");
  PauseForKey("PAUSE-PROMPT");
  std::string rest;
  for (int byte = std::getchar(); byte != EOF; byte = std::getchar())
    rest += static_cast<char>(byte);
  std::printf("after-pause rest=[%s]\n", rest.c_str());
  return 0;
}

// The flash worker's call, with the child writing to both its outputs.
int RunChild(const char* inputName) {
  std::printf("before-child\n");
  char commandLine[] = "fake_tool --out CHILD-OUT --err CHILD-ERR --copy-stdin copy.txt";
  std::printf("returned %d\n", RunChildWithInput(commandLine, inputName));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  g_selfPath = std::filesystem::absolute(argv[0]).string();
  if (argc < 3 || std::strcmp(argv[1], "--platform-child") != 0) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
  }
  if (std::strcmp(argv[2], "console") == 0) return Console();
  if (std::strcmp(argv[2], "run-child") == 0 && argc >= 4) return RunChild(argv[3]);
  std::fprintf(stderr, "unknown scenario %s\n", argv[2]);
  return 2;
}
