// StartDetachedThread runs the body on a thread of its own and returns
// without waiting for it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/platform.h"

namespace {

std::atomic<bool> g_release{false};
std::atomic<bool> g_finished{false};

// Waits for the test's release (bounded, so a joining start cannot hang).
void HeldBody() {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!g_release.load() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  g_finished.store(true);
}

bool FinishedWithin(int seconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!g_finished.load()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

TEST(StartDetachedThread, RunsTheBodyWithoutWaitingForIt) {
  g_release = false;
  g_finished = false;
  ASSERT_EQ(StartDetachedThread(HeldBody), 0);
  EXPECT_FALSE(g_finished.load()) << "the start waited for the body";
  g_release = true;
  EXPECT_TRUE(FinishedWithin(10));
}

}  // namespace
