// What the operator sees: box geometry in display columns, decoded from the
// bytes written, and the countdowns.
#include <cstring>
#include <numeric>

#include "procedure/texts.h"
#include "procedure/update.h"
#include "tests/unit/unit.h"

extern const char kCharsetProbe[], kWideText[];  // encoded as the texts are

namespace {

// Which encoding the operator's texts were compiled to.
bool ConsoleIsCp932() { return std::strlen(kCharsetProbe) == 2; }

// The display width of each character of `text` in the console's encoding.
// CP932: lead bytes 81-9F and E0-FC start a two-column pair (A1-DF are
// half-width kana). UTF-8: every non-ASCII character of the texts is a wide
// one (kanji, kana, fullwidth forms); the CP932 build checks the exact rule.
std::vector<int> Widths(const std::string& text) {
  std::vector<int> widths;
  for (std::size_t at = 0, size = 1; at < text.size(); at += size) {
    unsigned lead = static_cast<unsigned char>(text[at]);
    if (ConsoleIsCp932()) {
      size = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
    } else {
      size = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    }
    widths.push_back(size == 1 ? 1 : 2);
  }
  return widths;
}

// The display columns of `text`.
int Columns(const std::string& text) {
  std::vector<int> widths = Widths(text);
  return std::accumulate(widths.begin(), widths.end(), 0);
}

// Asterisks at both ends, 50 columns between and including them.
bool IsBoxLine(const std::string& line) {
  bool bytesFit = !ConsoleIsCp932() || line.size() == 50;  // CP932: a byte per column
  return Columns(line) == 50 && bytesFit && line.front() == '*' && line.back() == '*';
}

TEST(BoxGeometry, EveryBoxAndBannerLineIsFiftyColumns) {
  for (int box = -1; box <= kBoxVersionAfterReset; ++box) {  // -1: the banner
    SCOPED_TRACE(box);
    g_fake = FakePlatform{};
    box < 0 ? ShowBanner() : ShowResultBox(static_cast<ResultBox>(box));
    const std::string& out = g_fake.transcript;
    int lines = 0;
    for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
      if (out[at] != '*') continue;
      EXPECT_TRUE(IsBoxLine(out.substr(at, end - at))) << out.substr(at, end - at);
      ++lines;
    }
    EXPECT_EQ(lines, 6);
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
  for (int seconds : {300, 90, 0}) {
    SCOPED_TRACE(seconds);
    g_fake = FakePlatform{};
    const char* format = seconds == 90 ? kResetCountdownFormat : kFlashCountdownFormat;
    RunCountdown(format, seconds);
    std::string head = format, tail = head.substr(head.find("%02d:%02d") + 9), expected;
    head.resize(head.find("%02d:%02d"));
    ASSERT_EQ(g_fake.sleeps.size(), static_cast<std::size_t>(seconds));
    for (int left = seconds; left >= 1; --left) {  // each line followed by one sleep
      char time[16];
      std::snprintf(time, sizeof time, "%02d:%02d", left / 60, left % 60);
      expected += head + time + tail;
      EXPECT_EQ(g_fake.sleeps[seconds - left], expected.size());
    }
    EXPECT_EQ(g_fake.transcript, expected);
  }
}

}  // namespace
