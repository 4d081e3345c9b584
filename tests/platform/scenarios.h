// Work that a test has this program do in a sub-process of its own
// ("platform_tests --platform-child NAME ARGUMENT"), so that the test can see
// what reaches that process's own standard output and error.
#ifndef BMCUPDATE_TESTS_PLATFORM_SCENARIOS_H_
#define BMCUPDATE_TESTS_PLATFORM_SCENARIOS_H_

// Runs the scenario `name`; its exit code, or 2 for an unknown name.
int RunScenario(const char* name, const char* argument);

#endif  // BMCUPDATE_TESTS_PLATFORM_SCENARIOS_H_
