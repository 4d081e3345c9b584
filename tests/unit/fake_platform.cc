// Every platform.h operation except the shared text-mode reader, and the
// captures the tests script.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <fstream>

#include "platform/platform.h"
#include "procedure/update.h"
#include "tests/unit/unit.h"

FakePlatform g_fake;

int EnterProgramFolder() { return 0; }  // the test has made its folder current

void ConsoleWrite(const char* text) { g_fake.transcript += text; }

int ConsoleReadByte() {
  if (g_fake.input.empty()) return -1;
  int byte = static_cast<unsigned char>(g_fake.input[0]);
  g_fake.input.erase(0, 1);
  return byte;
}

// Writes the command's capture into the file of its last "> NAME", in lower
// case: the real platforms match names without regard to case.
void RunInterpreter(const char* commandText) {
  std::string command = commandText;
  g_fake.commands.push_back(command);
  std::size_t turn = g_fake.commands.size() - 1, at = command.rfind(" > ");
  if (turn >= g_fake.captures.size() || !g_fake.captures[turn] || at == std::string::npos) return;
  std::string name = command.substr(at + 3);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (name != "nul") WriteFile(name, *g_fake.captures[turn]);
}

void PauseForKey(const char* /*prompt*/) {}

int OpenTextInput(const char* name, TextInput* input) {
  input->stream = std::fopen(name, "rb");
  input->pending = -1;
  input->ended = 0;
  return input->stream != nullptr ? 0 : -1;
}

int DeleteNamedFile(const char* name) { return std::remove(name) == 0 ? 0 : -1; }

void SleepOneSecond() { g_fake.sleeps.push_back(g_fake.transcript.size()); }

// The body runs at once, so a test sees the worker's effects in order.
int StartDetachedThread(void (*body)()) {
  ++g_fake.threads;
  body();
  return 0;
}

// The signature is platform.h's, where the real one may modify the line.
int RunChildWithInput(char* commandLine,  // NOLINT(readability-non-const-parameter)
                      const char* inputName) {
  g_fake.children.push_back(std::string(commandLine) + " < " + inputName);
  return 0;
}

void FolderTest::SetUp() {
  g_fake = FakePlatform{};
  g_updateSettings = UpdateSettings{};
  previous_ = std::filesystem::current_path();
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  do {
    folder_ =
        std::filesystem::temp_directory_path() / ("bmcupdate-unit-" + std::to_string(stamp++));
  } while (!std::filesystem::create_directory(folder_));
  std::filesystem::current_path(folder_);
}

void FolderTest::TearDown() {
  std::filesystem::current_path(previous_);
  std::filesystem::remove_all(folder_);
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

std::string VersionCapture(const std::string& revision) {
  return "icmd 1.4: Get Device ID\nrespData[len=15]: 20 10 " + revision +
         " 02 BF 57 01 00 11 22 00 00 00 00\nCompletion Code: 00\n";
}

std::vector<Capture> FruCaptures(int typeLength, const std::string& name, int faultBlock,
                                 FruFault fault) {
  unsigned char image[256];
  for (int i = 0; i < 256; ++i) image[i] = static_cast<unsigned char>(i);
  image[0x73] = static_cast<unsigned char>(typeLength);
  std::copy(name.begin(), name.end(), image + 0x74);
  const std::string marker = "respData[len=17]: 10 ", head = "icmd 1.4: Read FRU Data\n";
  std::vector<Capture> captures;
  for (int block = 0; block < 16; ++block) {
    FruFault own = block == faultBlock ? fault : kFruGood;
    std::string values;
    char hex[4];
    for (int j = 0; j < 16; ++j) {
      std::snprintf(hex, sizeof hex, j < 15 ? "%02X " : "%02X", image[16 * block + j]);
      values += hex;
    }
    std::string line = own == kFruShort      ? marker + values.substr(0, 44) + "\n"
                       : own == kFruNoMarker ? "Error: no response from the BMC\n"
                       // After the values: they still stand at columns 21 + 3j.
                       : own == kFruMidLine ? std::string(21, '.') + values + " " + marker + "\n"
                                            : marker + values + "\n";
    std::string text = own == kFru1A ? head + '\x1A' + line : head + line + "Completion Code: 00\n";
    if (own == kFruCrLf) {
      for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.insert(at, "\r");
    }
    captures.push_back(own == kFruNoFile ? Capture() : text);
  }
  return captures;
}
