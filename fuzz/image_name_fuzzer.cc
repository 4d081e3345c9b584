// The image name: the first line of image.txt, read as the update flow reads
// it and accepted into its 20-byte field. An accepted name is NUL-terminated
// within the field and is the line less only its line end; the flash command
// line built from it still fits and still starts the flash program.
#include <cstdio>
#include <cstring>

#include "flash/flash.h"
#include "fuzz/fuzz_support.h"
#include "platform/platform.h"
#include "platform/windows-argv.h"
#include "procedure/dialogue.h"
#include "procedure/update.h"

namespace {

const int kLineSize = 260;
const int kNameField = sizeof UpdateSettings{}.imageName;
const char kUnwritten = '\x5A';

// Reads the first line of the bytes as a text file; its length.
int ReadFirstLine(const std::uint8_t* data, std::size_t size, char* line) {
  TextInput input;
  input.stream = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  input.pending = -1;
  input.ended = 0;
  if (input.stream == nullptr) return -1;
  int length = ReadTextLine(&input, line, kLineSize);
  CloseTextInput(&input);
  return length;
}

// The flash command line with the name in it splits, and names the program.
void CheckFlashCommand(const char* name) {
  g_updateSettings = UpdateSettings{};
  std::snprintf(g_updateSettings.bmcAddress, sizeof g_updateSettings.bmcAddress, "10.0.0.7");
  std::snprintf(g_updateSettings.bmcPassword, sizeof g_updateSettings.bmcPassword, "pw");
  std::memcpy(g_updateSettings.imageName, name, std::strlen(name) + 1);
  char* command = new char[kFlashCommandSize];
  FUZZ_CHECK(FormatFlashCommand(command, kFlashCommandSize) == 0);
  char* arguments = new char[2048];
  char* argv[64];
  int argc = SplitWindowsCommandLine(command, arguments, 2048, argv, 64);
  FUZZ_CHECK(argc >= 1 && std::strcmp(argv[0], "Yafuflash.exe") == 0);
  delete[] arguments;
  delete[] command;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  char* line = new char[kLineSize];
  int length = ReadFirstLine(data, size, line);
  if (length < 0) {
    delete[] line;
    return 0;
  }
  char* field = new char[kNameField];
  std::memset(field, kUnwritten, static_cast<std::size_t>(kNameField));
  int result = AcceptImageName(line, length, field, kNameField);
  // The line less its line end, LF or CR LF; a line end is all that goes.
  int name = length;
  if (name > 0 && line[name - 1] == '\n') --name;
  if (name < length && name > 0 && line[name - 1] == '\r') --name;
  FUZZ_CHECK(result == (name < kNameField ? 0 : -1));
  if (result == 0) {
    FUZZ_CHECK(std::memcmp(field, line, static_cast<std::size_t>(name)) == 0);
    FUZZ_CHECK(field[name] == '\0');
    CheckFlashCommand(field);
  } else {
    for (int i = 0; i < kNameField; ++i) FUZZ_CHECK(field[i] == kUnwritten);
  }
  delete[] field;
  delete[] line;
  return 0;
}
