#include "tests/platform/support.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "platform/platform.h"

namespace fs = std::filesystem;

std::string g_selfPath;

std::string ReadFileBytes(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& name, const std::string& bytes) {
  std::ofstream file(name, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return !file.fail();
}

std::vector<std::string> WorkEntries() {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
    std::string name = entry.path().filename().string();
    if (name != FAKE_TOOL_FILE_NAME) names.push_back(name);
  }
  return names;
}

std::string WithoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

bool FinishesWithin(const std::function<void()>& body, int seconds) {
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::thread([body, done] {
    body();
    done->store(true);
  }).detach();
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done->load()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool RunScenarioProcess(const std::string& scenario, const std::string& argument,
                        const std::string& inputFile) {
  // Only the program is quoted: with exactly two quotes on the line the
  // Windows interpreter keeps that word whole.
  std::string command = "\"" + g_selfPath + "\" --platform-child " + scenario + " " + argument +
                        " < " + inputFile + " > out.txt 2> err.txt";
  // Generous: the first start of a Windows program under Wine can be slow.
  return FinishesWithin([command] { (void)std::system(command.c_str()); }, 60);
}

void WorkFolderTest::SetUp() {
  startFolder_ = fs::current_path().string();
  ASSERT_EQ(EnterProgramFolder(), 0);
  fs::path programFolder = fs::current_path();
  auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  do {
    workFolder_ =
        (fs::temp_directory_path() / ("bmcupdate-platform-" + std::to_string(ticks++))).string();
  } while (!fs::create_directory(workFolder_));
  fs::copy_file(programFolder / FAKE_TOOL_FILE_NAME, fs::path(workFolder_) / FAKE_TOOL_FILE_NAME);
  fs::current_path(workFolder_);
}

void WorkFolderTest::TearDown() {
  fs::current_path(startFolder_);
  std::error_code error;
  if (!workFolder_.empty()) fs::remove_all(workFolder_, error);
}

void WorkFolderTest::ClearWorkFolder() {
  for (const std::string& name : WorkEntries()) fs::remove_all(name);
}
