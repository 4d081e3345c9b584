// A plausible FRU image around a product name, laid out so that the product
// area's name field falls on offset 73h, as on the target models.
#include "fru.h"

#include <cstring>

namespace {

const int kBoardArea = 0x08;
const int kProductArea = 0x68;
const char kMaker[] = "BMC SIM";  // 7 bytes: the product name lands on 73h

// Writes a type/length byte (8-bit ASCII) and `length` bytes of `text` at
// `at`; returns the offset after them.
int PutField(unsigned char* fru, int at, const char* text, int length) {
  fru[at] = static_cast<unsigned char>(0xC0 + length);
  std::memcpy(fru + at + 1, text, length);
  return at + 1 + length;
}

// Writes a whole NUL-terminated text as a field; returns the next offset.
int PutText(unsigned char* fru, int at, const char* text) {
  return PutField(fru, at, text, static_cast<int>(std::strlen(text)));
}

// Ends the area that starts at `start` with the end marker, zero padding to
// a multiple of 8 bytes, its length byte and its checksum.
void CloseArea(unsigned char* fru, int start, int at) {
  fru[at++] = 0xC1;
  int size = (at - start + 1 + 7) / 8 * 8;
  fru[start + 1] = static_cast<unsigned char>(size / 8);
  unsigned sum = 0;
  for (int i = start; i < start + size - 1; ++i) sum += fru[i];
  fru[start + size - 1] = static_cast<unsigned char>(0x100 - (sum & 0xFF));
}

}  // namespace

void BuildFruImage(const char* product, unsigned char fru[256]) {
  static const unsigned char kHeader[8] = {0x01, 0x00, 0x00, kBoardArea / 8, kProductArea / 8,
                                           0x00, 0x00, 0xF1};
  std::memset(fru, 0, 256);
  std::memcpy(fru, kHeader, sizeof kHeader);

  fru[kBoardArea] = 0x01;  // format version; language 0 and date 0 follow
  int at = kBoardArea + 6;
  at = PutText(fru, at, kMaker);
  at = PutText(fru, at, "SIM-MB");
  at = PutText(fru, at, "MB000001");
  at = PutText(fru, at, "MB-PART-1");
  CloseArea(fru, kBoardArea, PutText(fru, at, ""));

  int length = static_cast<int>(std::strlen(product));
  if (length > kMaxProductName) length = kMaxProductName;
  fru[kProductArea] = 0x01;
  at = PutText(fru, kProductArea + 3, kMaker);
  at = PutField(fru, at, product, length);
  at = PutText(fru, at, "P001");
  at = PutText(fru, at, "1.00");
  at = PutText(fru, at, "SN000001");
  at = PutText(fru, at, "");
  CloseArea(fru, kProductArea, PutText(fru, at, ""));
}
