// CheckTargetModel: FRU bytes 0 to 255 in sixteen Read FRU Data requests,
// and the product name at the fixed place of the target models' FRU layout.
#include "bmc/model.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bmc/icmd_call.h"
#include "platform/files.h"
#include "procedure/runlog.h"
#include "procedure/texts.h"
#include "procedure/update.h"

namespace {

const char kFruCapture[] = "fru.txt";
const char kFruMarker[] = "respData[len=17]: 10 ";
// The sixteenth value stands at columns 66 and 67.
const int kFruColumns = 68;
const int kNameLengthOffset = 0x73;
const char* const kTargetModels[] = {"QX5200-kn/KN20", "MIRTA kn300", "MIRTA vn300"};

// Reads FRU bytes 16*index to 16*index + 15: kTargetModel when read, or the
// failure.
ModelCheckResult ReadFruBlock(int index, char* line, unsigned char* fru) {
  char request[48];
  std::snprintf(request, sizeof request, "00 20 28 11 00 %02X 00 10 > fru.txt", 16 * index);
  // A command that was not run has no response.
  CaptureResult found =
      RunIcmd(line, kIcmdBufferSize, request, kFruCapture) == 0
          ? FindResponseLine(kFruCapture, kFruMarker, kFruColumns, line, kIcmdBufferSize)
          : kCaptureNoResponse;
  if (found == kCaptureMissing) {
    ShowMessage(kMsgFruFileMissing);
    return kFruFileMissing;
  }
  if (found != kCaptureFound || ParseFruLine(line, fru + 16 * index) != 0) {
    ShowMessage(kMsgFruDataMissing);
    return kFruResponseMissing;
  }
  return kTargetModel;
}

}  // namespace

int ParseFruLine(const char* line, unsigned char bytes[16]) {
  if (static_cast<int>(std::strcspn(line, "\n")) < kFruColumns) return -1;
  for (int j = 0; j < 16; ++j) {
    // The value runs to the first non-hex character, as strtoul reads it;
    // only its low eight bits count.
    bytes[j] = static_cast<unsigned char>(std::strtoul(line + 21 + 3 * j, nullptr, 16) & 0xFF);
  }
  return 0;
}

void ExtractProductName(const unsigned char fru[256], char name[64]) {
  int length = fru[kNameLengthOffset] & 0x3F;
  std::memcpy(name, fru + kNameLengthOffset + 1, static_cast<size_t>(length));
  name[length] = '\0';
}

ModelCheckResult MatchTargetModel(const char* name) {
  for (const char* model : kTargetModels) {
    if (std::strcmp(name, model) == 0) return kTargetModel;
  }
  return kNotTargetModel;
}

ModelCheckResult CheckTargetModel() {
  char* line = static_cast<char*>(std::malloc(kIcmdBufferSize));
  if (line == nullptr) return kFruResponseMissing;
  unsigned char fru[256];
  for (int index = 0; index < 16; ++index) {
    ModelCheckResult result = ReadFruBlock(index, line, fru);
    if (result != kTargetModel) {
      std::free(line);
      return result;
    }
  }
  (void)DeleteNamedFile(kFruCapture);
  std::free(line);
  NoteModel(fru + kNameLengthOffset + 1, fru[kNameLengthOffset] & 0x3F);
  char name[64];
  ExtractProductName(fru, name);
  return MatchTargetModel(name);
}
