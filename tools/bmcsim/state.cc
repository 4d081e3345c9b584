// Reading and rewriting bmcsim.txt: key=value lines, '#' comments, unknown
// keys ignored.
#include "state.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "fru.h"
#include "host.h"
#include "icmd-text/icmd_text.h"

namespace {

const char kStateFile[] = "bmcsim.txt";
const char kStateTemp[] = "bmcsim.txt.tmp";
const char kFirmwareKey[] = "firmware=";
const int kLineSize = 2048;  // room for fru= with a blank between all bytes

// Parses exactly `count` bytes written as hex digit pairs, blanks allowed
// between pairs. 0, or -1.
int ParseHexBytes(const char* text, unsigned char* out, int count) {
  int n = 0;
  for (const char* p = text; *p != '\0';) {
    if (*p == ' ' || *p == '\t') {
      ++p;
      continue;
    }
    int value = ParseHexPair(p);
    if (value < 0 || n == count) return -1;
    out[n++] = static_cast<unsigned char>(value);
    p += 2;
  }
  return n == count ? 0 : -1;
}

// Parses a non-negative decimal number. 0, or -1.
int ParseCount(const char* text, long* out) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 0) return -1;
  *out = value;
  return 0;
}

// Maps a fault name to its kind. 0, or -1.
int ParseFault(const char* text, SimFault* out) {
  static const char* const kNames[] = {"none", "no-response", "truncated",
                                       "crlf", "ctrlz",       "no-capture"};
  static_assert(sizeof kNames / sizeof kNames[0] == kFaultCount, "a name per SimFault");
  for (int i = 0; i < kFaultCount; ++i) {
    if (std::strcmp(text, kNames[i]) != 0) continue;
    *out = static_cast<SimFault>(i);
    return 0;
  }
  return -1;
}

// Maps a fault scope name to its scope. 0, or -1.
int ParseScope(const char* text, SimFaultScope* out) {
  static const char* const kNames[] = {"all", "version", "fru"};
  static_assert(sizeof kNames / sizeof kNames[0] == kScopeCount, "a name per SimFaultScope");
  for (int i = 0; i < kScopeCount; ++i) {
    if (std::strcmp(text, kNames[i]) != 0) continue;
    *out = static_cast<SimFaultScope>(i);
    return 0;
  }
  return -1;
}

// Applies a key whose value is one or two hex bytes. 0, 1 when the key is
// not one of them, or -1 for a bad value.
int ApplyByteKey(SimState* s, const char* key, const char* value) {
  if (std::strcmp(key, "device_id") == 0) return ParseHexBytes(value, &s->deviceId, 1);
  if (std::strcmp(key, "device_revision") == 0) {
    return ParseHexBytes(value, &s->deviceRevision, 1);
  }
  if (std::strcmp(key, "firmware") == 0) return ParseHexBytes(value, s->firmware, 2);
  if (std::strcmp(key, "after_reset") == 0) {
    s->hasAfterReset = ParseHexBytes(value, s->afterReset, 2) == 0;
    return s->hasAfterReset ? 0 : -1;
  }
  if (std::strcmp(key, "flash_sets") == 0) {
    s->hasFlashSets = ParseHexBytes(value, s->flashSets, 2) == 0;
    return s->hasFlashSets ? 0 : -1;
  }
  return 1;
}

// Copies `value` into `field` whole: 0, or -1 (and an empty field) when it
// does not fit, since a cut name would name some other file.
int CopyWhole(const char* value, char (&field)[256]) {
  int length = std::snprintf(field, sizeof field, "%s", value);
  if (length >= 0 && length < static_cast<int>(sizeof field)) return 0;
  field[0] = '\0';
  return -1;
}

// Applies any other known key. 0, 1 for an unknown key, or -1.
int ApplyOtherKey(SimState* s, const char* key, const char* value) {
  long count = 0;
  if (std::strcmp(key, "fault") == 0) return ParseFault(value, &s->fault);
  if (std::strcmp(key, "fault_scope") == 0) return ParseScope(value, &s->faultScope);
  if (std::strcmp(key, "flash_delay_ms") == 0) return ParseCount(value, &s->flashDelayMs);
  if (std::strcmp(key, "raw_output") == 0) return CopyWhole(value, s->rawOutput);
  if (std::strcmp(key, "flash_until") == 0) return CopyWhole(value, s->flashUntil);
  if (std::strcmp(key, "password") == 0) {
    s->hasPassword = CopyWhole(value, s->password) == 0;
    return s->hasPassword ? 0 : -1;
  }
  if (std::strcmp(key, "slow_ms") == 0) return ParseCount(value, &s->slowMs);
  int* number = std::strcmp(key, "fail_fru_at") == 0    ? &s->failFruAt
                : std::strcmp(key, "slow_request") == 0 ? &s->slowRequest
                                                        : nullptr;
  if (number == nullptr) return 1;
  if (ParseCount(value, &count) != 0 || count > 1000000) return -1;
  *number = static_cast<int>(count);
  return 0;
}

// The name and FRU bytes seen so far; the FRU is built once all is read.
struct FruSource {
  char product[kMaxProductName + 1];
  int hasFru;  // fru= given: it wins over product=, wherever it stands
};

// Applies one line (terminator removed). 0, or -1 for a bad value.
int ApplyLine(SimState* s, FruSource* source, char* line) {
  char* equals = std::strchr(line, '=');
  if (line[0] == '#' || equals == nullptr) return 0;
  *equals = '\0';
  const char* value = equals + 1;
  if (std::strcmp(line, "product") == 0) {
    std::snprintf(source->product, sizeof source->product, "%s", value);
    return 0;
  }
  if (std::strcmp(line, "fru") == 0) {
    source->hasFru = ParseHexBytes(value, s->fru, 256) == 0;
    return source->hasFru ? 0 : -1;
  }
  int result = ApplyByteKey(s, line, value);
  if (result == 1) result = ApplyOtherKey(s, line, value);
  return result < 0 ? -1 : 0;
}

// Drops a trailing LF or CR LF; 1 when the line had a terminator.
int CutLineEnd(char* line) {
  size_t length = std::strlen(line);
  int ended = length > 0 && line[length - 1] == '\n';
  if (ended) line[--length] = '\0';
  if (length > 0 && line[length - 1] == '\r') line[--length] = '\0';
  return ended;
}

// Sets the defaults of every key.
void SetDefaults(SimState* s, FruSource* source) {
  std::memset(s, 0, sizeof *s);
  s->deviceId = 0x20;
  s->deviceRevision = 0x10;
  s->firmware[0] = 0x09;
  s->firmware[1] = 0x12;
  std::snprintf(source->product, sizeof source->product, "%s", "MIRTA kn300");
  source->hasFru = 0;
}

}  // namespace

void LoadState(SimState* state) {
  FruSource source = {};
  SetDefaults(state, &source);
  std::FILE* file = std::fopen(kStateFile, "rb");
  char line[kLineSize];
  for (int number = 1; file != nullptr && std::fgets(line, sizeof line, file); ++number) {
    int whole = CutLineEnd(line) || std::feof(file);
    if (!whole || ApplyLine(state, &source, line) != 0) {
      std::fprintf(stderr, "bmcsim: %s line %d ignored: bad value\n", kStateFile, number);
    }
    while (!whole && std::fgets(line, sizeof line, file)) whole = CutLineEnd(line);
  }
  if (file != nullptr) std::fclose(file);
  if (!source.hasFru) BuildFruImage(source.product, state->fru);
}

namespace {

// Copies `from` into `to` with every firmware= line replaced by `newLine`,
// which is added at the end when there was none.
void CopyWithFirmware(std::FILE* from, std::FILE* to, const char* newLine) {
  char chunk[kLineSize];
  int atLineStart = 1;
  int skipping = 0;
  int replaced = 0;
  while (from != nullptr && std::fgets(chunk, sizeof chunk, from)) {
    if (atLineStart) skipping = std::strncmp(chunk, kFirmwareKey, sizeof kFirmwareKey - 1) == 0;
    if (atLineStart && skipping && !replaced) replaced = std::fputs(newLine, to) >= 0;
    if (!skipping) std::fputs(chunk, to);
    size_t length = std::strlen(chunk);
    atLineStart = length > 0 && chunk[length - 1] == '\n';
  }
  if (!atLineStart && !skipping) std::fputs("\n", to);
  if (!replaced) std::fputs(newLine, to);
}

}  // namespace

int StoreFirmware(const unsigned char firmware[2]) {
  char newLine[32];
  std::snprintf(newLine, sizeof newLine, "%s%02X %02X\n", kFirmwareKey, firmware[0], firmware[1]);
  std::FILE* from = std::fopen(kStateFile, "rb");
  std::FILE* to = std::fopen(kStateTemp, "wb");
  if (to != nullptr) CopyWithFirmware(from, to, newLine);
  if (from != nullptr) std::fclose(from);
  if (to == nullptr || std::fclose(to) != 0) return -1;
  // On Windows a reader that has the file open at this moment makes the
  // rename fail; it lets go within milliseconds.
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (ReplaceFileAtomically(kStateTemp, kStateFile) == 0) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}
