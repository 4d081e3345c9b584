// What the operator sees: box geometry in display columns, decoded from the
// bytes written, and the countdowns.
#include <algorithm>
#include <cstring>
#include <numeric>

#include "procedure/texts.h"
#include "procedure/update.h"
#include "tests/unit/unit_support.h"

extern const char kCharsetProbe[], kWideText[];  // encoded as the texts are

namespace {

// Which encoding the operator's texts were compiled to.
bool ConsoleIsCp932() { return std::strlen(kCharsetProbe) == 2; }

// East Asian wide and fullwidth code points (CJK, kana, fullwidth forms).
bool IsWide(unsigned point) {
  const unsigned kRanges[][2] = {{0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF},
                                 {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xF900, 0xFAFF},
                                 {0xFF01, 0xFF60}, {0xFFE0, 0xFFE6}};
  for (const auto& r : kRanges) {
    if (point >= r[0] && point <= r[1]) return true;
  }
  return false;
}

// The display width of each character of `text` in the console's encoding:
// CP932 lead bytes 81-9F and E0-FC start a two-column pair (A1-DF are
// half-width); UTF-8 is decoded to its code points.
std::vector<int> Widths(const std::string& text) {
  std::vector<int> widths;
  for (std::size_t at = 0; at < text.size();) {
    unsigned lead = static_cast<unsigned char>(text[at]);
    if (ConsoleIsCp932()) {
      bool pair = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
      widths.push_back(pair ? 2 : 1);
      at += pair ? 2 : 1;
      continue;
    }
    std::size_t size = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    unsigned point = size == 1 ? lead : lead & (0x7Fu >> size);
    for (std::size_t i = 1; i < size && at + i < text.size(); ++i)
      point = point << 6 | (text[at + i] & 0x3F);
    widths.push_back(IsWide(point) ? 2 : 1);
    at += size;
  }
  return widths;
}

// The display columns of `text`.
int Columns(const std::string& text) {
  std::vector<int> widths = Widths(text);
  return std::accumulate(widths.begin(), widths.end(), 0);
}

// Asterisks at both ends, 50 columns between and including them.
::testing::AssertionResult IsBoxLine(const std::string& line) {
  bool bytesFit = !ConsoleIsCp932() || line.size() == 50;  // CP932: a byte per column
  if (Columns(line) == 50 && bytesFit && line.front() == '*' && line.back() == '*')
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << Columns(line) << " columns, " << line.size() << " bytes: " << line;
}

// The transcript's lines (each ended by LF) that begin with an asterisk.
std::vector<std::string> StarLines(const std::string& out) {
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
    if (out[at] == '*') lines.push_back(out.substr(at, end - at));
  }
  return lines;
}

TEST(BoxGeometry, EveryBoxAndBannerLineIsFiftyColumns) {
  // After the box: the closing line, and before it the contact line of [006]
  // (with an empty line ahead of it), [007] and [008].
  const std::ptrdiff_t kLinesAfter[] = {1, 1, 1, 1, 1, 3, 2, 2};
  const std::string& out = g_fake.transcript;
  for (int box = -1; box <= kBoxVersionAfterReset; ++box) {  // -1: the banner
    SCOPED_TRACE(box);
    g_fake = FakePlatform{};
    box < 0 ? ShowBanner() : ShowResultBox(static_cast<ResultBox>(box));
    std::vector<std::string> lines = StarLines(out);
    EXPECT_EQ(lines.size(), 6u);
    for (const std::string& line : lines) EXPECT_TRUE(IsBoxLine(line));
    if (box < 0) continue;
    EXPECT_EQ(out.find("\n*"), 0u);
    EXPECT_EQ(std::count(out.begin() + out.rfind("*\n") + 2, out.end(), '\n'), kLinesAfter[box]);
    EXPECT_EQ(g_fake.pauses, 1);
  }
}

TEST(BoxGeometry, AFillCountedInCharactersFails) {
  std::string text = kWideText, head = "*   " + text;
  std::size_t characters = Widths(text).size();
  ASSERT_LT(characters, static_cast<std::size_t>(Columns(text)));
  EXPECT_FALSE(IsBoxLine(head + std::string(45 - characters, ' ') + "*"));
  EXPECT_TRUE(IsBoxLine(head + std::string(45 - Columns(text), ' ') + "*"));
}

TEST(Countdown, OneLinePerSecondFromTheFullTimeDownToOne) {
  const struct {
    const char* format;
    int seconds;
    const char* first;
  } kCases[] = {{kFlashCountdownFormat, 300, "05:00"},
                {kResetCountdownFormat, 90, "01:30"},
                {kResetCountdownFormat, 61, "01:01"},
                {kFlashCountdownFormat, 1, "00:01"},
                {kFlashCountdownFormat, 0, ""}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.seconds);
    g_fake = FakePlatform{};
    RunCountdown(c.format, c.seconds);
    std::string format = c.format, out = g_fake.transcript;
    std::size_t field = format.find("%02d:%02d");
    std::string head = format.substr(0, field), tail = format.substr(field + 9);
    ASSERT_EQ(g_fake.sleeps.size(), static_cast<std::size_t>(c.seconds));
    EXPECT_EQ(c.seconds > 0 ? out.substr(head.size(), 5) : out, c.first);
    std::size_t start = 0;
    for (int i = 0; i < c.seconds; ++i) {  // each line followed by one sleep
      std::string line = out.substr(start, g_fake.sleeps[i] - start);
      char time[16];
      std::snprintf(time, sizeof time, "%02d:%02d", (c.seconds - i) / 60, (c.seconds - i) % 60);
      EXPECT_EQ(line, head + time + tail);
      start = g_fake.sleeps[i];
    }
    EXPECT_EQ(start, out.size());  // nothing after the last sleep
  }
}

}  // namespace
