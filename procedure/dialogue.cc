// The operator's replies, checked byte by byte: a reply may hold NUL bytes,
// be longer than its buffer or end without a line feed.
#include "procedure/dialogue.h"

#include <cstring>

#include "platform/console.h"

namespace {

// The reply's length without the LF that ends it.
int WithoutLineFeed(const char* reply, int length) {
  return length > 0 && reply[length - 1] == '\n' ? length - 1 : length;
}

bool IsAddressByte(unsigned char byte) {
  return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
         (byte >= 'a' && byte <= 'z') || byte == '.' || byte == ':' || byte == '-';
}

// Bytes that the quoted password cannot carry through cmd.exe, /bin/sh or a
// program's argument parsing. Bytes from 80h up are refused too: under code
// page 932 a lead byte before the closing quote would swallow it.
bool IsPasswordByte(unsigned char byte) {
  if (byte < 0x20 || byte >= 0x7F) return false;
  return std::strchr("\"\\%$`", byte) == nullptr;
}

// A byte the flash command line cannot carry in the unquoted image name: a
// blank or quote would split it into more arguments, a control byte could
// end or bend the line. Bytes from 80h up are Japanese names under CP932.
bool IsImageNameByte(unsigned char byte) { return byte > 0x20 && byte != 0x7F && byte != '"'; }

int CopyField(const char* text, int length, char* field, int fieldSize) {
  if (length < 0 || length >= fieldSize) return -1;
  std::memcpy(field, text, static_cast<size_t>(length));
  field[length] = '\0';
  return 0;
}

}  // namespace

int ReadReply(char* reply, int size) {
  if (size < 2) return -1;
  int count = 0;
  int byte = 0;
  while (count < size - 1) {
    byte = ConsoleReadByte();
    if (byte < 0) break;
    reply[count++] = static_cast<char>(byte);
    if (byte == '\n') break;
  }
  reply[count] = '\0';
  // The rest of an over-long line would otherwise answer the next prompt.
  if (count == size - 1 && byte != '\n') {
    for (byte = ConsoleReadByte(); byte >= 0 && byte != '\n'; byte = ConsoleReadByte()) {
    }
  }
  return count == 0 && byte < 0 ? -1 : count;
}

Answer ClassifyReply(const char* reply, int length) {
  if (length < 1) return kAnswerOther;
  if (reply[0] == 'y' || reply[0] == 'Y') return kAnswerYes;
  if (reply[0] == 'n' || reply[0] == 'N') return kAnswerNo;
  return kAnswerOther;
}

int AcceptAddress(const char* reply, int length, char* field, int fieldSize) {
  int size = WithoutLineFeed(reply, length);
  if (size < 6 || size > 15) return -1;
  for (int i = 0; i < size; ++i) {
    if (!IsAddressByte(static_cast<unsigned char>(reply[i]))) return -1;
  }
  return CopyField(reply, size, field, fieldSize);
}

int AcceptPassword(const char* reply, int length, char* field, int fieldSize) {
  int size = WithoutLineFeed(reply, length);
  if (size > 19) return -1;
  for (int i = 0; i < size; ++i) {
    if (!IsPasswordByte(static_cast<unsigned char>(reply[i]))) return -1;
  }
  return CopyField(reply, size, field, fieldSize);
}

int AcceptImageName(const char* line, int length, char* field, int fieldSize) {
  // As Notepad saves a file: UTF-16 cannot carry a name onto the command
  // line, and a UTF-8 byte order mark is no part of the name.
  const auto* bytes = reinterpret_cast<const unsigned char*>(line);
  if (length >= 2 &&
      ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
    return -2;
  }
  if (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    line += 3;
    length -= 3;
  }
  int size = WithoutLineFeed(line, length);
  if (size < length && size > 0 && line[size - 1] == '\r') --size;
  if (size >= fieldSize) return -1;
  // A leading '-' would reach the flash program as an option of its own.
  if (size > 0 && line[0] == '-') return -2;
  for (int i = 0; i < size; ++i) {
    if (!IsImageNameByte(static_cast<unsigned char>(line[i]))) return -2;
  }
  return CopyField(line, size, field, fieldSize);
}
