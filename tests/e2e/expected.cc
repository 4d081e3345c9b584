// What the operator must see, written out here on its own (UTF-8 source,
// encoded by the compiler as the tool's texts are: CP932 on Windows).
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "e2e.h"

const char kConfirmPrompt[] = "\nBMCのファームウェアを更新しますか？ [y/n] : ";
const char kAddressPrompts[] =
    "\nアップデート対象機のBMCに設定されているIPアドレスを入力してください。\n"
    "\nBMC IPアドレス : ";
const char kPasswordStatePrompt[] =
    "\nアップデート対象機のBMCパスワードは工場出荷状態ですか？ [y/n] : ";
const char kPasswordPrompts[] =
    "\nBMCパスワードを入力してください。\n"
    "\nBMCパスワード : ";
const char kImageMissing[] = "[009] image.txt cannot be opened.\n";
const char kImageNameTooLong[] = "[009] image name in image.txt is too long.\n";
const char kVersionFileMissing[] = "[010] version.txt cannot be opened.\n";
const char kFruFileMissing[] = "[011] fru.txt cannot be opened.\n";
const char kFruDataMissing[] = "[012] FRU DATA cannot be gotten.\n";
const char kFactoryPassword[] = "TOLVE qs Family";

namespace {

const char kBorder[] = "**************************************************\n";
const char kBlank[] = "*                                                *\n";
const char kRetry[] = "*   もう一度、最初からやり直してください         *\n";
const char kContactFirst[] = "\n結果が変わらない場合はお問い合わせ先に連絡してください\n";
const char kContactSecond[] = "結果が変わらない場合はお問い合わせ先に連絡してください\n";
const char kClosing[] = "アップデートツールを終了します\n";

struct BoxLines {
  const char* first;
  const char* second;
  const char* contact;
};

// In the order of Box.
const BoxLines kBoxes[] = {
    {"*   正常にBMCのアップデートが完了しました        *\n",
     "*   BMCのバージョンは09-16です                   *\n", ""},
    {"*   [001] IPアドレス入力エラー                   *\n", kRetry, ""},
    {"*   [003] BMCパスワード入力エラー                *\n", kRetry, ""},
    {"*   [004] 対象機種ではありません                 *\n",
     "*   本装置と対象機種を再度、確認してください     *\n", ""},
    {"*   [005] BMCは最新バージョンです                *\n",
     "*   BMCをアップデートする必要はありません        *\n", ""},
    {"*   [006] BMCバージョンエラー                    *\n", kRetry, kContactFirst},
    {"*   [007] BMCバージョンエラー                    *\n", kRetry, kContactSecond},
    {"*   [008] BMCバージョンエラー                    *\n", kRetry, kContactSecond},
};

// The countdown lines from `seconds` down to 1.
std::string Countdown(const char* format, int seconds) {
  std::string text;
  char line[128];
  for (int left = seconds; left >= 1; --left) {
    std::snprintf(line, sizeof line, format, left / 60, left % 60);
    text += line;
  }
  return text;
}

}  // namespace

std::string BoxText(Box box) {
  const BoxLines& lines = kBoxes[box];
  return std::string("\n") + kBorder + kBlank + lines.first + lines.second + kBlank + kBorder +
         lines.contact + kClosing;
}

std::string RevisionLine(const char* revision) {
  return std::string("\nBMCバージョン : ") + revision + "\n";
}

std::string FlashCountdownText() {
  return "\n" + Countdown("BMCアップデート中です（残り時間＝%02d:%02d）\r", 300) + "\n";
}

std::string ResetCountdownText() {
  return Countdown("BMC再起動中です（残り時間＝%02d:%02d）\r", 90) + "\n";
}

std::string DialogueText() {
  return std::string(kConfirmPrompt) + kAddressPrompts + kPasswordStatePrompt;
}

std::string IcmdLogLine(const std::string& address, const std::string& password,
                        const std::string& request) {
  std::string line = "icmd [-N] [" + address + "] [-P] [" + password + "]";
  for (size_t at = 0; at < request.size(); at += 3) line += " [" + request.substr(at, 2) + "]";
  return line;
}

std::vector<std::string> FruLogLines(const std::string& address, const std::string& password,
                                     int count) {
  std::vector<std::string> lines;
  char request[32];
  for (int block = 0; block < count; ++block) {
    std::snprintf(request, sizeof request, "00 20 28 11 00 %02X 00 10", 16 * block);
    lines.push_back(IcmdLogLine(address, password, request));
  }
  return lines;
}

namespace {

// The title line: the tool's purpose and the target revision, framed.
void ExpectBannerTitle(const std::string& line) {
  EXPECT_EQ(50, DisplayColumns(line)) << "banner title: " << line;
  EXPECT_EQ(0u, line.find("*   ")) << line;
  EXPECT_EQ(line.size() - 2, line.find("*\n", 1)) << line;
  EXPECT_NE(std::string::npos, line.find("09-16")) << line;
}

// Twenty blanks, the release date (YYYY/MM/DD), the maker, three blanks.
void ExpectBannerRelease(const std::string& line) {
  const std::string head = "*" + std::string(20, ' ');
  const std::string tail = " (株)Varnholtek   *\n";
  ASSERT_EQ(head.size() + 10 + tail.size(), line.size()) << line;
  EXPECT_EQ(head, line.substr(0, head.size()));
  EXPECT_EQ(tail, line.substr(head.size() + 10));
  const std::string date = line.substr(head.size(), 10);
  for (int i = 0; i < 10; ++i) {
    bool slash = i == 4 || i == 7;
    EXPECT_TRUE(slash ? date[i] == '/' : std::isdigit(static_cast<unsigned char>(date[i])))
        << "release date " << date;
  }
}

}  // namespace

std::string AfterBanner(const ToolRun& run) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (lines.size() < 6 && at < run.output.size()) {
    size_t end = run.output.find('\n', at);
    if (end == std::string::npos) break;
    lines.push_back(run.output.substr(at, end + 1 - at));
    at = end + 1;
  }
  EXPECT_EQ(6u, lines.size()) << "no banner";
  if (lines.size() == 6) {
    EXPECT_EQ(kBorder, lines[0]);
    EXPECT_EQ(kBlank, lines[1]);
    ExpectBannerTitle(lines[2]);
    EXPECT_EQ(kBlank, lines[3]);
    ExpectBannerRelease(lines[4]);
    EXPECT_EQ(kBorder, lines[5]);
  }
  return run.output.substr(at);
}
