// The platform tests; started with "--platform-child NAME [ARGUMENT]" the
// program instead does one scenario for a test that runs it as a sub-process.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/scenarios.h"
#include "tests/platform/support.h"

int main(int argc, char** argv) {
  RememberSelf(argv[0]);
  if (argc >= 3 && std::strcmp(argv[1], "--platform-child") == 0) {
    return RunScenario(argv[2], argc >= 4 ? argv[3] : "");
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
