#include "tests/unit/unit_support.h"

#include <chrono>
#include <cstdio>

#include "procedure/update.h"

void FolderTest::SetUp() {
  g_fake = FakePlatform{};
  g_updateSettings = UpdateSettings{};
  previous_ = std::filesystem::current_path();
  auto stamp = std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int n = 0;; ++n) {
    folder_ = std::filesystem::temp_directory_path() /
              ("bmcupdate-unit-" + stamp + "-" + std::to_string(n));
    if (std::filesystem::create_directory(folder_)) break;
  }
  std::filesystem::current_path(folder_);
}

void FolderTest::TearDown() {
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void WriteFile(const char* name, const std::string& bytes) {
  std::FILE* file = std::fopen(name, "wb");
  ASSERT_NE(file, nullptr) << name;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::string Repeat(const std::string& text, int times) {
  std::string all;
  while (times-- > 0) all += text;
  return all;
}

Capture Output(const std::string& content) { return {true, content}; }
Capture NoFile() { return {false, ""}; }

Capture VersionCapture(const std::string& revision) {
  return Output("icmd 1.4: Get Device ID\nrespData[len=15]: 20 10 " + revision +
                " 02 BF 57 01 00 11 22 00 00 00 00\nCompletion Code: 00\n");
}

namespace {

std::string FruText(const unsigned char* bytes, FruFault fault) {
  const std::string marker = "respData[len=17]: 10 ", head = "icmd 1.4: Read FRU Data\n";
  std::string values;
  for (int j = 0; j < 16; ++j) {
    char hex[4];
    std::snprintf(hex, sizeof hex, j < 15 ? "%02X " : "%02X", bytes[j]);
    values += hex;
  }
  std::string line = fault == kFruShort      ? marker + values.substr(0, 44) + "\n"
                     : fault == kFruNoMarker ? "Error: no response from the BMC\n"
                     // After the values: they still stand at columns 21 + 3j.
                     : fault == kFruMidLine ? std::string(21, '.') + values + " " + marker + "\n"
                                            : marker + values + "\n";
  if (fault == kFru1A) return head + '\x1A' + line;
  std::string text = head + line + "Completion Code: 00\n", crlf;
  for (char c : text) crlf += c == '\n' ? "\r\n" : std::string(1, c);
  return fault == kFruCrLf ? crlf : text;
}

}  // namespace

std::vector<Capture> FruCaptures(int typeLength, const std::string& name, int faultBlock,
                                 FruFault fault) {
  std::vector<unsigned char> image(256);
  for (int i = 0; i < 256; ++i) image[i] = static_cast<unsigned char>(i);
  image[0x73] = static_cast<unsigned char>(typeLength);
  std::copy(name.begin(), name.end(), image.begin() + 0x74);
  std::vector<Capture> captures;
  for (int block = 0; block < 16; ++block) {
    FruFault own = block == faultBlock ? fault : kFruGood;
    captures.push_back(own == kFruNoFile ? NoFile() : Output(FruText(&image[16 * block], own)));
  }
  return captures;
}
