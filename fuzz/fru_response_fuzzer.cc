// The model check's reading of a Read FRU Data capture file: the response
// line search, the sixteen values, the product name and its comparison. A
// found line holds the marker and starts a line of the file; a value written
// as two hex digits reads as such; the name never runs past its length or
// its buffer; only the three target models match.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bmc/icmd.h"
#include "bmc/model.h"
#include "fuzz/fuzz_support.h"
#include "procedure/update.h"

namespace {

const char kCapture[] = "fru.txt";
const char* g_capture = nullptr;  // its path in the scratch folder
const char kMarker[] = "respData[len=17]: 10 ";
const int kColumns = 68;
const char* const kTargets[] = {"QX5200-kn/KN20", "MIRTA kn300", "MIRTA vn300"};

// The result MatchTargetModel must give for `name`.
int ExpectedMatch(const char* name) {
  for (const char* model : kTargets) {
    if (std::strcmp(name, model) == 0) return kTargetModel;
  }
  return kNotTargetModel;
}

bool IsHex(char byte) { return std::isxdigit(static_cast<unsigned char>(byte)) != 0; }

// Parsing any NUL-terminated line; a value of exactly two hex digits at its
// column is that value.
void CheckParse(const char* line, unsigned char* block) {
  int columns = static_cast<int>(std::strcspn(line, "\n"));
  int result = ParseFruLine(line, block);
  FUZZ_CHECK(result == (columns >= kColumns ? 0 : -1));
  for (int j = 0; result == 0 && j < 16; ++j) {
    const char* value = line + 21 + 3 * j;
    if (!IsHex(value[0]) || !IsHex(value[1]) || IsHex(value[2])) continue;
    char digits[3] = {value[0], value[1], '\0'};
    FUZZ_CHECK(block[j] == std::strtoul(digits, nullptr, 16));
  }
}

// The name of a FRU image: within its length, its buffer and the image.
void CheckName(const unsigned char* fru) {
  char* name = new char[64];
  ExtractProductName(fru, name);
  std::size_t length = fru[0x73] & 0x3F;
  FUZZ_CHECK(name[length] == '\0');
  std::size_t shown = std::strlen(name);
  FUZZ_CHECK(shown <= length && std::memcmp(name, fru + 0x74, shown) == 0);
  FUZZ_CHECK(MatchTargetModel(name) == ExpectedMatch(name));
  delete[] name;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  g_capture = MakeScratchFile(kCapture);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteScratchFile(g_capture, data, size);
  char* line = new char[kIcmdBufferSize];
  // A FRU image from the bytes; the found response's values go into the
  // block the first byte picks.
  unsigned char* fru = new unsigned char[256];
  for (std::size_t i = 0; i < 256; ++i) fru[i] = size > 0 ? data[i % size] : 0;
  int found = FindResponseLine(g_capture, kMarker, kColumns, line, kIcmdBufferSize);
  FUZZ_CHECK(found == kCaptureFound || found == kCaptureNoResponse);
  if (found == kCaptureFound) {
    std::size_t length = std::strlen(line);
    FUZZ_CHECK(length < static_cast<std::size_t>(kIcmdBufferSize));
    FUZZ_CHECK(std::strstr(line, kMarker) != nullptr);
    FUZZ_CHECK(std::strcspn(line, "\n") >= static_cast<std::size_t>(kColumns));
    FUZZ_CHECK(StartsALineOf(TextModeText(data, size), line, length));
    CheckParse(line, fru + 16 * (data[0] % 16));
  }
  CheckName(fru);
  // Any bytes as one line, and as a product name.
  std::string text(reinterpret_cast<const char*>(data), size);
  unsigned char block[16];
  CheckParse(text.c_str(), block);
  FUZZ_CHECK(MatchTargetModel(text.c_str()) == ExpectedMatch(text.c_str()));
  delete[] fru;
  delete[] line;
  return 0;
}
