#include "tests/platform/support.h"

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>

#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

std::string g_selfPath;

// Generous: the first start of a Windows program under Wine can be slow.
constexpr int kProcessSeconds = 60;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

void RememberSelf(const char* argv0) {
  std::error_code error;
  g_selfPath = fs::absolute(argv0, error).string();
}

const std::string& SelfPath() { return g_selfPath; }

const char* HelperFileName() { return FAKE_TOOL_FILE_NAME; }

std::string MakeFreshFolder(const std::string& tag) {
  std::error_code error;
  auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path folder =
      fs::temp_directory_path(error) / ("bmcupdate-platform-" + tag + "-" + std::to_string(ticks));
  fs::create_directories(folder, error);
  return error ? std::string() : folder.string();
}

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

bool EntryExists(const std::string& name) {
  for (const std::string& entry : WorkEntries()) {
    if (entry == name) return true;
  }
  return false;
}

std::vector<std::string> WorkEntries() {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(".", error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name != HelperFileName()) names.push_back(name);
  }
  return names;
}

std::vector<std::string> EntriesNamedLike(const std::string& name) {
  std::vector<std::string> found;
  for (const std::string& entry : WorkEntries()) {
    if (Lower(entry) == Lower(name)) found.push_back(entry);
  }
  return found;
}

std::string WithoutCarriageReturns(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c != '\r') result += c;
  }
  return result;
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
  std::string command = "\"" + SelfPath() + "\" --platform-child " + scenario + " " + argument +
                        " < " + inputFile + " > out.txt 2> err.txt";
  return FinishesWithin([command] { (void)std::system(command.c_str()); }, kProcessSeconds);
}

void WorkFolderTest::SetUp() {
  std::error_code error;
  startFolder_ = fs::current_path(error).string();
  ASSERT_EQ(EnterProgramFolder(), 0);
  fs::path programFolder = fs::current_path(error);
  workFolder_ = MakeFreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
  ASSERT_FALSE(workFolder_.empty());
  fs::copy_file(programFolder / HelperFileName(), fs::path(workFolder_) / HelperFileName(), error);
  ASSERT_FALSE(error) << error.message();
  fs::current_path(workFolder_, error);
  ASSERT_FALSE(error) << error.message();
}

void WorkFolderTest::TearDown() {
  std::error_code error;
  fs::current_path(startFolder_, error);
  if (!workFolder_.empty()) fs::remove_all(workFolder_, error);
}

void WorkFolderTest::ClearWorkFolder() {
  std::error_code error;
  for (const std::string& name : WorkEntries()) fs::remove_all(name, error);
}
