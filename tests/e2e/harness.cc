// Folders, files and runs of the tool for the end-to-end tests.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "e2e.h"

namespace fs = std::filesystem;

namespace {

// ASCII lower case: file names compare as the Windows file system compares them.
std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Control bytes and non-ASCII bytes shown as escapes, so a failure message
// stays readable on any console.
std::string Escape(const std::string& text) {
  std::string shown;
  char hex[8];
  for (unsigned char c : text) {
    if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c < 0x20 || c >= 0x7F) {
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += hex;
    } else {
      shown += static_cast<char>(c);
    }
  }
  return shown;
}

// Up to 60 bytes on either side of `at`, the point marked.
std::string Slice(const std::string& text, size_t at) {
  size_t from = at > 60 ? at - 60 : 0;
  return Escape(text.substr(from, at - from)) + " >>> " + Escape(text.substr(at, 60));
}

}  // namespace

std::string PrepareFolder(const std::string& name) {
  std::string folder = "work/" + name;
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(folder, error);
  EXPECT_TRUE(fs::is_directory(folder)) << "cannot make " << folder;
  EXPECT_TRUE(fs::is_empty(folder, error)) << "cannot empty " << folder;
  return folder;
}

void CopyProgram(const std::string& folder, const char* source, const char* name) {
  std::error_code error;
  fs::copy_file(source, folder + "/" + name, fs::copy_options::overwrite_existing, error);
  ASSERT_FALSE(error) << "cannot copy " << source
                      << " (run from the build folder of tests/e2e): " << error.message();
}

void CopyTool(const std::string& folder) { CopyProgram(folder, E2E_TOOL_PATH, E2E_TOOL_NAME); }

void WriteFile(const std::string& folder, const std::string& name, const std::string& content) {
  std::ofstream file(folder + "/" + name, std::ios::binary | std::ios::trunc);
  file << content;
  EXPECT_TRUE(file.good()) << "cannot write " << folder << "/" << name;
}

void MakeSubfolder(const std::string& folder, const std::string& name) {
  std::error_code error;
  EXPECT_TRUE(fs::create_directory(folder + "/" + name, error)) << folder << "/" << name;
}

bool ReadFile(const std::string& folder, const std::string& name, std::string* content) {
  std::ifstream file(folder + "/" + name, std::ios::binary);
  if (!file.is_open()) return false;
  content->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

std::vector<std::string> EntriesIgnoringCase(const std::string& folder, const std::string& name) {
  std::vector<std::string> found;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    std::string entryName = entry.path().filename().string();
    if (Lower(entryName) == Lower(name)) found.push_back(entryName);
  }
  return found;
}

ToolRun RunTool(const std::string& folder, const std::string& input) {
  WriteFile(folder, "stdin.txt", input);
  std::fflush(stdout);
  int status = std::system(ToolCommandText(folder, E2E_TOOL_NAME).c_str());
  ToolRun run;
  run.exitCode = DecodeExitStatus(status);
  std::string raw;
  EXPECT_TRUE(ReadFile(folder, "stdout.txt", &raw)) << "no stdout.txt in " << folder;
  run.lineEndsRight = RestoreLineEnds(raw, &run.output);
  ReadFile(folder, "stderr.txt", &run.errors);
  return run;
}

std::vector<std::string> ReadLog(const std::string& folder) {
  std::string text;
  std::vector<std::string> lines;
  if (!ReadFile(folder, "bmcsim.log", &text)) return lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> LogLinesStartingWith(const std::vector<std::string>& log,
                                              const std::string& head) {
  std::vector<std::string> lines;
  for (const std::string& line : log) {
    if (line.compare(0, head.size(), head) == 0) lines.push_back(line);
  }
  return lines;
}

std::string StateValue(const std::string& folder, const std::string& key) {
  std::string text;
  if (!ReadFile(folder, "bmcsim.txt", &text)) return "";
  std::string head = key + "=";
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, head.size(), head) == 0) return line.substr(head.size());
    start = end + 1;
  }
  return "";
}

void ExpectSameText(const std::string& expected, const std::string& actual) {
  if (expected == actual) return;
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  ADD_FAILURE() << "texts differ at byte " << at << " (expected " << expected.size()
                << " bytes, got " << actual.size() << ")\n  expected: " << Slice(expected, at)
                << "\n  actual:   " << Slice(actual, at);
}

void ExpectBoxRun(const ToolRun& run, int exitCode, const std::string& expected) {
  EXPECT_EQ(exitCode, run.exitCode);
  EXPECT_TRUE(run.lineEndsRight) << "a line feed did not arrive as CR LF";
  std::string rest = AfterBanner(run);
  ExpectSameText(expected, rest.substr(0, expected.size()));
  std::string tail = rest.size() > expected.size() ? rest.substr(expected.size()) : "";
  EXPECT_TRUE(IsPausePrompt(tail)) << "after the closing line: \"" << Escape(tail) << "\"";
}

void ExpectPlainRun(const ToolRun& run, int exitCode, const std::string& expected) {
  EXPECT_EQ(exitCode, run.exitCode);
  EXPECT_TRUE(run.lineEndsRight) << "a line feed did not arrive as CR LF";
  ExpectSameText(expected, AfterBanner(run));
}
