// Every platform.h operation except the shared text-mode reader.
#include "tests/unit/fake_platform.h"

#include <cctype>
#include <cstdio>

#include "platform/platform.h"

FakePlatform g_fake;

int EnterProgramFolder() { return 0; }  // the test has made its folder current

void ConsoleWrite(const char* text) { g_fake.transcript += text; }

int ConsoleReadByte() {
  if (g_fake.inputAt >= g_fake.input.size()) return -1;
  return static_cast<unsigned char>(g_fake.input[g_fake.inputAt++]);
}

// Writes the command's capture into the file of its last "> NAME", in lower
// case: the real platforms match names without regard to case.
void RunInterpreter(const char* commandText) {
  std::string command = commandText;
  g_fake.commands.push_back(command);
  std::size_t turn = g_fake.commands.size() - 1, at = command.rfind(" > ");
  if (turn >= g_fake.captures.size() || !g_fake.captures[turn].written || at == std::string::npos)
    return;
  std::string name = command.substr(at + 3);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::FILE* file = name == "nul" ? nullptr : std::fopen(name.c_str(), "wb");
  if (file == nullptr) return;
  const std::string& content = g_fake.captures[turn].content;
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
}

void PauseForKey(const char* /*prompt*/) { ++g_fake.pauses; }

int OpenTextInput(const char* name, TextInput* input) {
  input->stream = std::fopen(name, "rb");
  input->pending = -1;
  input->ended = 0;
  return input->stream != nullptr ? 0 : -1;
}

int DeleteNamedFile(const char* name) {
  g_fake.deletions.push_back(name);
  return std::remove(name) == 0 ? 0 : -1;
}

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
  g_fake.childCommands.push_back(commandLine);
  g_fake.childInputs.push_back(inputName);
  return 0;
}
