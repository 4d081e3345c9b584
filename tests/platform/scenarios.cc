#include "tests/platform/scenarios.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/platform.h"

namespace {

// Commands that also write to standard error: that part must reach the
// console (our standard error), not the capture file nor the null device.
int InterpretWithCapture(const char* /*argument*/) {
  RunInterpreter("fake_tool --out CAPTURED-OUT --err CONSOLE-ERR > Version.txt");
  RunInterpreter("fake_tool --out DISCARDED-OUT --err DISCARD-ERR > nul");
  return 0;
}

// Text written before and after a command, unflushed: the interpreter's
// output must stand between the two.
int InterpretInOrder(const char* /*argument*/) {
  std::printf("before-command\n");
  RunInterpreter("fake_tool --out DURING-COMMAND");
  std::printf("after-command\n");
  return 0;
}

// The flash worker's call, with the child writing to both its outputs.
int RunChild(const char* inputName) {
  std::printf("before-child\n");
  char commandLine[] =
      "fake_tool --out CHILD-OUT --err CHILD-ERR --touch started.txt --copy-stdin copy.txt";
  int result = RunChildWithInput(commandLine, inputName);
  std::printf("returned %d\n", result);
  return 0;
}

// The result box's pause, then whatever standard input still holds.
int Pause(const char* /*argument*/) {
  std::printf("before-pause\n");
  PauseForKey("PAUSE-PROMPT");
  std::string rest;
  for (int byte = std::getchar(); byte != EOF; byte = std::getchar())
    rest += static_cast<char>(byte);
  std::printf("after-pause rest=[%s]\n", rest.c_str());
  return 0;
}

struct Scenario {
  const char* name;
  int (*run)(const char* argument);
};

const Scenario kScenarios[] = {
    {"interpret-capture", InterpretWithCapture},
    {"interpret-order", InterpretInOrder},
    {"run-child", RunChild},
    {"pause", Pause},
};

}  // namespace

int RunScenario(const char* name, const char* argument) {
  for (const Scenario& scenario : kScenarios) {
    if (std::strcmp(scenario.name, name) == 0) return scenario.run(argument);
  }
  std::fprintf(stderr, "unknown scenario %s\n", name);
  return 2;
}
