// One libFuzzer target for the parsers of outside bytes: byte 0 picks one, bytes 1-2 its sizes, the
// rest is the console input and every text file. Results must match models (asserts, always on).
#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "bmc/icmd_call.h"
#include "bmc/model.h"
#include "bmc/version.h"
#include "platform/files.h"
#include "platform/seam.h"
#include "platform/windows-argv.h"
#include "procedure/dialogue.h"
#include "procedure/update.h"

UpdateSettings g_updateSettings;

namespace {

std::string g_input;
std::size_t g_at = 0;  // the bytes ConsoleReadByte has given
const std::size_t kNone = std::string::npos;

// The input's lines, each ending after its LF or its size - 1th byte; in
// text mode CR LF is LF, a lone CR stays and 1Ah ends the text.
std::vector<std::string> Lines(std::size_t size, bool textMode = true) {
  std::string text = textMode ? g_input.substr(0, g_input.find('\x1A')) : g_input;
  for (std::size_t at = 0; textMode && (at = text.find("\r\n", at)) != kNone;) text.erase(at, 1);
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size(); at += lines.back().size()) {
    lines.push_back(text.substr(at, std::min(size - 2, text.find('\n', at) - at) + 1));
  }
  return lines;
}

void TextLines(int sizeByte, int /*unused*/) {
  int size = sizeByte < 250 ? 2 + sizeByte : kIcmdBufferSize;
  std::vector<char> line(size);
  std::vector<std::string> lines = Lines(size);
  lines.resize(lines.size() + 2);  // then the end, and the end again
  TextInput input = {fmemopen(g_input.data(), g_input.size(), "rb"), -1, 0};
  for (const std::string& want : lines) {
    int length = ReadTextLine(&input, line.data(), size);
    assert(std::string(line.data(), length + 1) == want + '\0');
  }
  CloseTextInput(&input);
}

// The first line with the marker and `columns` columns before its LF or NUL
// is found, never a piece of an over-long line. Returns it, else the input.
std::string Response(const char* marker, std::size_t columns) {
  std::vector<char> line(kIcmdBufferSize);
  TextInput input = {fmemopen(g_input.data(), g_input.size(), "rb"), -1, 0};
  int found =
      SearchResponseLine(&input, marker, static_cast<int>(columns), line.data(), kIcmdBufferSize);
  CloseTextInput(&input);
  std::string before = "\n", want;
  for (const std::string& piece : Lines(kIcmdBufferSize)) {
    bool fits = std::strcspn(piece.c_str(), "\n") >= columns && std::strstr(piece.c_str(), marker);
    if (want.empty() && before.back() == '\n' && fits) want = piece;
    before = piece;
  }
  assert(found == (want.empty() ? kCaptureNoResponse : kCaptureFound));
  assert(want.empty() || std::string(line.data(), want.size() + 1) == want + '\0');
  return want.empty() ? g_input : want;
}

// The version's revision and class; the FRU block's two-digit values, and
// the product name at 74h of an image of the input.
void Captures(int /*unused*/, int /*unused*/) {
  std::string line = Response("respData[len=15]: 20 10 ", 29);
  char revision[4] = {'#', '#', '#', '#'};
  bool fits = std::strcspn(line.c_str(), "\n") >= 29;
  int result = ExtractRevision(line.c_str(), revision);
  std::string want = fits ? std::string{line[24], line[25], line[27], line[28]} : "####";
  assert(result == (fits ? 0 : -1) && std::string(revision, 4) == want);
  // 09-11, 09-12, 09-14, 09-16 and 09-17 are the classes 0 to 4.
  std::size_t updatable = std::string("0911 0912 0914 0916 0917 ").find(want + ' ') / 5;
  int other = want[0] == '8' ? kUpdateInProgress : kRevisionOther;
  assert(ClassifyRevision(revision) == (updatable < 5 ? static_cast<int>(updatable) : other));
  line = Response("respData[len=17]: 10 ", 68);
  unsigned char fru[256] = {};
  std::copy_n(g_input.begin(), std::min(sizeof fru, g_input.size()), fru);
  result = ParseFruLine(line.c_str(), fru);
  assert(result == (std::strcspn(line.c_str(), "\n") >= 68 ? 0 : -1));
  for (std::size_t j = 0, at = 21; result == 0 && j < 16; ++j, at += 3) {
    if (std::strspn(line.c_str() + at, "0123456789abcdefABCDEF") != 2) continue;
    assert(fru[j] == std::strtoul(line.substr(at, 2).c_str(), nullptr, 16));
  }
  std::vector<char> name(64, '#');
  ExtractProductName(fru, name.data());
  want.assign(fru + 0x74, fru + 0x74 + (fru[0x73] & 0x3Fu));
  assert(std::string(name.data(), want.size() + 1) == want + '\0');
  std::string shown = name.data();
  bool target = shown == "QX5200-kn/KN20" || shown == "MIRTA kn300" || shown == "MIRTA vn300";
  assert(MatchTargetModel(name.data()) == (target ? kTargetModel : kNotTargetModel));
}

const char kAddressBytes[] = "0123456789.:-ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
const char kPasswordBytes[] =  // all printable ASCII but "$%\`
    " !#&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_abcdefghijklmnopqrstuvwxyz{|}~";

// A reply is its line cut to size - 1 bytes (the rest, NULs and all, is skipped). As an address,
// password or image name it loses its line end; accepted, it is in the field with a NUL after it.
void Replies(int sizeByte, int /*unused*/) {
  std::size_t size = sizeByte < 250 ? 2 + sizeByte : kIcmdBufferSize;
  std::vector<char> reply(size);
  for (const std::string& line : Lines(kNone, false)) {
    std::size_t start = g_at;
    int length = ReadReply(reply.data(), static_cast<int>(size));
    auto accept = [&](auto check, int code, const std::string& text, std::size_t fieldSize) {
      std::vector<char> field(fieldSize, '#'), want = field;
      if (code == 0) std::memcpy(want.data(), text.c_str(), text.size() + 1);
      int result = check(reply.data(), length, field.data(), static_cast<int>(fieldSize));
      assert(result == code && field == want);
    };
    std::string want = line.substr(0, size - 1);
    assert(std::string(reply.data(), length + 1) == want + '\0' && g_at == start + line.size());
    // y or Y is kAnswerYes (0), n or N kAnswerNo (1), the rest kAnswerOther (2).
    std::size_t answer = std::min<std::size_t>(std::string("yYnN").find(want[0]) / 2, 2);
    assert(static_cast<std::size_t>(ClassifyReply(reply.data(), length)) == answer);
    std::string text = want.substr(0, want.size() - (want.back() == '\n'));
    bool crLf = text.size() < want.size() && !text.empty() && text.back() == '\r';
    bool address = text.size() >= 6 && text.find_first_not_of(kAddressBytes) == kNone;
    accept(AcceptAddress, address && text.size() <= 15 ? 0 : -1, text, 16);
    accept(AcceptPassword,
           text.size() <= 19 && text.find_first_not_of(kPasswordBytes) == kNone ? 0 : -1, text, 20);
    // An image name is one argument: no blank, quote or control byte, no leading '-'. A UTF-16
    // file names none; a UTF-8 byte order mark is no part of the name.
    std::string name = text.substr(0, text.size() - crLf);
    bool utf16 = want.rfind("\xFF\xFE", 0) == 0 || want.rfind("\xFE\xFF", 0) == 0;
    if (name.rfind("\xEF\xBB\xBF", 0) == 0) name.erase(0, 3);
    bool plain = name[0] != '-' && name.find_first_of(" \"\x7F") == kNone &&
                 std::all_of(name.begin(), name.end(), [](char c) { return (c & 0xFF) > 0x1F; });
    accept(AcceptImageName, utf16 ? -2 : name.size() >= 20 ? -1 : plain ? 0 : -2, name, 20);
  }
  int length = ReadReply(reply.data(), static_cast<int>(size));
  assert(length == -1 && g_at == g_input.size());
}

// Without quotes and line ends, the arguments are the words between blanks, if they fit.
void CommandLine(int outSize, int argsByte) {
  std::size_t maxArgs = argsByte % 16;
  std::vector<char> out(outSize);
  std::vector<char*> argv(maxArgs);
  int argc = SplitWindowsCommandLine(g_input.c_str(), out.data(), outSize, argv.data(),
                                     static_cast<int>(maxArgs));
  std::vector<std::string> words;
  std::istringstream stream(g_input.substr(0, g_input.find('\0')));
  std::size_t bytes = 0;
  for (std::string word; stream >> word; bytes += word.size() + 1) words.push_back(word);
  bool fits = !words.empty() && words.size() < maxArgs && bytes <= out.size();
  bool plain = g_input.find_first_of("\"\n\v\f\r") == kNone;
  assert(!plain || argc == (fits ? static_cast<int>(words.size()) : -1));
  assert(argc == -1 || (argc >= 1 && argc < static_cast<int>(maxArgs) && argv[argc] == nullptr));
  for (int i = 0; plain && i < argc; ++i) assert(words[i] == argv[i]);
}

// The console reads the input and writes nowhere.
void WriteNowhere(const char* /*text*/) {}
int ReadInput() { return g_at < g_input.size() ? g_input[g_at++] & 0xFF : -1; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  void (*const parsers[])(int, int) = {TextLines, Captures, Replies, CommandLine};
  static const bool kSeamInstalled =
      (InstallPlatformSeam({WriteNowhere, ReadInput, nullptr}), true);
  (void)kSeamInstalled;
  if (size < 3) return 0;
  g_input.assign(data + 3, data + size);
  g_at = 0;
  parsers[data[0] % 4](data[1], data[2]);
  return 0;
}
