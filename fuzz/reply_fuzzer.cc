// The dialogue's handling of the operator's replies, read from the console
// as the update flow reads them: each reply is bounded and terminated, takes
// exactly its line from the input, and an accepted address or password is
// NUL-terminated within its field and holds only the bytes allowed there.
#include <algorithm>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "procedure/dialogue.h"
#include "procedure/update.h"

namespace {

const int kAddressField = sizeof UpdateSettings{}.bmcAddress;
const int kPasswordField = sizeof UpdateSettings{}.bmcPassword;
const char kUnwritten = '\x5A';

bool IsAddressByte(unsigned char byte) {
  return std::strchr("0123456789.:-", byte) != nullptr ||
         ((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z');
}

bool IsPasswordByte(unsigned char byte) {
  return byte >= 0x20 && byte < 0x7F && std::strchr("\"\\%$`", byte) == nullptr;
}

// Accepts the reply into a fresh field; checks what it holds either way.
void CheckAccept(int (*accept)(const char*, int, char*, int), bool (*allowed)(unsigned char),
                 int minLength, int fieldSize, const char* reply, int length) {
  char* field = new char[fieldSize];
  std::memset(field, kUnwritten, static_cast<std::size_t>(fieldSize));
  int result = accept(reply, length, field, fieldSize);
  FUZZ_CHECK(result == 0 || result == -1);
  if (result == 0) {
    const void* end = std::memchr(field, '\0', static_cast<std::size_t>(fieldSize));
    FUZZ_CHECK(end != nullptr);
    int used = static_cast<int>(static_cast<const char*>(end) - field);
    FUZZ_CHECK(used >= minLength && std::memcmp(field, reply, used) == 0);
    // All of the reply but its line feed.
    FUZZ_CHECK(used == length || (used == length - 1 && reply[used] == '\n'));
    for (int i = 0; i < used; ++i) FUZZ_CHECK(allowed(static_cast<unsigned char>(field[i])));
  } else {
    for (int i = 0; i < fieldSize; ++i) FUZZ_CHECK(field[i] == kUnwritten);
  }
  delete[] field;
}

// Reads one reply and checks it against the input it came from.
int CheckReadReply(const std::uint8_t* input, std::size_t inputSize, char* reply, int size) {
  std::size_t start = ConsoleInputPosition();
  int length = ReadReply(reply, size);
  if (start == inputSize) {
    FUZZ_CHECK(length == -1 && reply[0] == '\0');
    return length;
  }
  const void* lineFeed = std::memchr(input + start, '\n', inputSize - start);
  std::size_t lineEnd =
      lineFeed != nullptr ? static_cast<const std::uint8_t*>(lineFeed) - input + 1 : inputSize;
  FUZZ_CHECK(length == static_cast<int>(std::min<std::size_t>(size - 1, lineEnd - start)));
  FUZZ_CHECK(std::memcmp(reply, input + start, length) == 0 && reply[length] == '\0');
  // The rest of an over-long line is gone, and nothing of the next.
  FUZZ_CHECK(ConsoleInputPosition() == lineEnd);
  return length;
}

void CheckClassify(const char* reply, int length) {
  Answer answer = ClassifyReply(reply, length);
  char first = length > 0 ? reply[0] : '\0';
  Answer expected = first == 'y' || first == 'Y'   ? kAnswerYes
                    : first == 'n' || first == 'N' ? kAnswerNo
                                                   : kAnswerOther;
  FUZZ_CHECK(answer == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte picks the reply buffer (2 to 251 bytes, or the tool's
  // 260); the rest is standard input.
  int replySize = data[0] < 250 ? 2 + data[0] : 260;
  ServeConsoleInput(data + 1, size - 1);
  char* reply = new char[replySize];
  for (int turn = 0; turn < 1000; ++turn) {
    std::memset(reply, '#', static_cast<std::size_t>(replySize));
    int length = CheckReadReply(data + 1, size - 1, reply, replySize);
    if (length < 0) break;
    CheckClassify(reply, length);
    CheckAccept(AcceptAddress, IsAddressByte, 6, kAddressField, reply, length);
    CheckAccept(AcceptPassword, IsPasswordByte, 0, kPasswordField, reply, length);
  }
  delete[] reply;
  return 0;
}
