// Text-mode reading, shared by every platform so that image.txt and the
// capture files read the same everywhere.
#include "platform/files.h"

namespace {

int NextRawByte(TextInput* input) {
  if (input->pending >= 0) {
    int byte = input->pending;
    input->pending = -1;
    return byte;
  }
  return std::fgetc(input->stream);
}

}  // namespace

int ReadTextByte(TextInput* input) {
  if (input->ended) return -1;
  int byte = NextRawByte(input);
  if (byte == EOF || byte == 0x1A) {
    input->ended = 1;
    return -1;
  }
  if (byte == '\r') {
    int next = NextRawByte(input);
    if (next == '\n') return '\n';
    input->pending = next;  // a lone CR stays; EOF here reads as EOF again
  }
  return byte;
}

int ReadTextLine(TextInput* input, char* line, int size) {
  if (size < 1) return 0;
  int count = 0;
  while (count < size - 1) {
    int byte = ReadTextByte(input);
    if (byte < 0) break;
    line[count++] = static_cast<char>(byte);
    if (byte == '\n') break;
  }
  line[count] = '\0';
  return count;
}

void CloseTextInput(TextInput* input) {
  if (input->stream != nullptr) std::fclose(input->stream);
  input->stream = nullptr;
  input->ended = 1;
}
