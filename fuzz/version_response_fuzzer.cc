// The version query's reading of a Get Device ID capture file: the response
// line search, the revision's extraction and its class. A found line holds
// the marker and stands at the start of a line of the file; the revision's
// four characters come from within that line; the class follows the table.
#include <cstring>
#include <string>

#include "bmc/icmd.h"
#include "bmc/version.h"
#include "fuzz/fuzz_support.h"
#include "procedure/update.h"

namespace {

const char kCapture[] = "version.txt";
const char* g_capture = nullptr;  // its path in the scratch folder
const char kMarker[] = "respData[len=15]: 20 10 ";
const int kColumns = 29;

// The class of the four characters, as the revision table gives it.
int ExpectedClass(const char revision[4]) {
  static const struct {
    char minor2;
    int versionClass;
  } kUpdatable[] = {{'1', kRevision0911},
                    {'2', kRevision0912},
                    {'4', kRevision0914},
                    {'6', kRevisionTarget},
                    {'7', kRevision0917}};
  if (revision[0] == '0' && revision[1] == '9' && revision[2] == '1') {
    for (const auto& entry : kUpdatable) {
      if (revision[3] == entry.minor2) return entry.versionClass;
    }
  }
  return revision[0] == '8' ? kUpdateInProgress : kRevisionOther;
}

// Extraction from any NUL-terminated line: only from before its end.
void CheckExtraction(const char* line) {
  char revision[4];
  std::memset(revision, '#', sizeof revision);
  int columns = static_cast<int>(std::strcspn(line, "\n"));
  int result = ExtractRevision(line, revision);
  FUZZ_CHECK(result == (columns >= kColumns ? 0 : -1));
  if (result != 0) return;
  FUZZ_CHECK(revision[0] == line[24] && revision[1] == line[25]);
  FUZZ_CHECK(revision[2] == line[27] && revision[3] == line[28]);
  FUZZ_CHECK(ClassifyRevision(revision) == ExpectedClass(revision));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  g_capture = MakeScratchFile(kCapture);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteScratchFile(g_capture, data, size);
  char* line = new char[kIcmdBufferSize];
  int found = FindResponseLine(g_capture, kMarker, kColumns, line, kIcmdBufferSize);
  FUZZ_CHECK(found == kCaptureFound || found == kCaptureNoResponse);
  if (found == kCaptureFound) {
    std::size_t length = std::strlen(line);
    FUZZ_CHECK(length < static_cast<std::size_t>(kIcmdBufferSize));
    FUZZ_CHECK(std::strstr(line, kMarker) != nullptr);
    FUZZ_CHECK(std::strcspn(line, "\n") >= static_cast<std::size_t>(kColumns));
    FUZZ_CHECK(StartsALineOf(TextModeText(data, size), line, length));
    CheckExtraction(line);
  }
  // Any bytes as one line, and their first four as a revision.
  std::string text(reinterpret_cast<const char*>(data), size);
  CheckExtraction(text.c_str());
  if (size >= 4) {
    const char* revision = reinterpret_cast<const char*>(data);
    FUZZ_CHECK(ClassifyRevision(revision) == ExpectedClass(revision));
  }
  delete[] line;
  return 0;
}
