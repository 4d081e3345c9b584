// The text-mode line reader over any bytes, with any buffer size: every line
// is bounded and terminated, only a line's last byte may be a line feed, and
// the lines together are exactly the file's text.
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/platform.h"

namespace {

// Reads every line, checking each; returns what they hold together.
std::string ReadAllLines(TextInput* input, int size) {
  std::string lines;
  char* line = new char[size];
  bool textEnded = false;  // a short line without a line feed ends the text
  for (;;) {
    int length = ReadTextLine(input, line, size);
    FUZZ_CHECK(length >= 0 && length <= size - 1);
    FUZZ_CHECK(line[length] == '\0');
    if (length == 0) break;
    FUZZ_CHECK(!textEnded);
    const void* lineFeed = std::memchr(line, '\n', static_cast<std::size_t>(length));
    FUZZ_CHECK(lineFeed == nullptr || lineFeed == line + length - 1);
    textEnded = lineFeed == nullptr && length < size - 1;
    lines.append(line, static_cast<std::size_t>(length));
  }
  // The end stays the end.
  FUZZ_CHECK(ReadTextLine(input, line, size) == 0 && line[0] == '\0');
  delete[] line;
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte picks the buffer size (2 to 251 bytes, or the tool's 260);
  // the rest is the file.
  int lineSize = data[0] < 250 ? 2 + data[0] : 260;
  const std::uint8_t* bytes = data + 1;
  std::size_t count = size - 1;
  TextInput input;
  input.stream = fmemopen(const_cast<std::uint8_t*>(bytes), count, "rb");
  input.pending = -1;
  input.ended = 0;
  if (input.stream == nullptr) return 0;
  std::string lines = ReadAllLines(&input, lineSize);
  CloseTextInput(&input);
  FUZZ_CHECK(lines == TextModeText(bytes, count));
  return 0;
}
