// The operator's texts. The source is UTF-8; the Windows build encodes the
// literals as code page 932, the POSIX build leaves them UTF-8. Box lines are
// written whole: their blanks are counted in display columns (a double-byte
// character takes two), which a fill computed at run time would get wrong.
#include "procedure/texts.h"

#include <cstdio>

#include "platform/console.h"
#include "procedure/enum_table.h"

const char kFlashCountdownFormat[] = "BMCアップデート中です（残り時間＝%02d:%02d）\r";
const char kResetCountdownFormat[] = "BMC再起動中です（残り時間＝%02d:%02d）\r";
const char kFlashWaitFormat[] = "BMCアップデートの終了を待っています（経過時間＝%02d:%02d）\r";
const char kGuardTitle[] = "BMCファームウェアアップデート（09-16）";
const char kGuardReason[] = "BMCのファームウェアを更新中です。終わるまで電源を切らないでください。";

namespace {

const char kBorder[] = "**************************************************\n";
const char kBlank[] = "*                                                *\n";
const char kBannerTitle[] = "*   BMCファームウェアアップデート（09-16）       *\n";
const char kBannerRelease[] = "*                    2026/12/06 (株)Varnholtek   *\n";
const char kRetry[] = "*   もう一度、最初からやり直してください         *\n";
const char kContactFirst[] = "\n結果が変わらない場合はお問い合わせ先に連絡してください\n";
const char kContactSecond[] = "結果が変わらない場合はお問い合わせ先に連絡してください\n";
const char kClosing[] = "アップデートツールを終了します\n";
// Shown only where the interpreter has no pause prompt of its own.
const char kPausePrompt[] = "続行するには何かキーを押してください . . . ";
const char kRevisionFormat[] = "\nBMCバージョン : %c%c-%c%c\n";

struct MessageText {
  Message message;
  const char* text;
};

constexpr MessageText kMessages[] = {
    {kMsgConfirmPrompt, "\nBMCのファームウェアを更新しますか？ [y/n] : "},
    {kMsgAddressRequest,
     "\nアップデート対象機のBMCに設定されているIPアドレスを入力してください。\n"},
    {kMsgAddressPrompt, "\nBMC IPアドレス : "},
    {kMsgPasswordStatePrompt, "\nアップデート対象機のBMCパスワードは工場出荷状態ですか？ [y/n] : "},
    {kMsgPasswordRequest, "\nBMCパスワードを入力してください。\n"},
    {kMsgPasswordPrompt, "\nBMCパスワード : "},
    {kMsgImageMissing, "[009] image.txt cannot be opened.\n"},
    {kMsgImageNameTooLong, "[009] image name in image.txt is too long.\n"},
    {kMsgImageNameInvalid, "[009] image name in image.txt is not valid.\n"},
    {kMsgImageFileMissing, "[009] image file named in image.txt is missing or empty.\n"},
    {kMsgVersionFileMissing, "[010] version.txt cannot be opened.\n"},
    {kMsgFruFileMissing, "[011] fru.txt cannot be opened.\n"},
    {kMsgFruDataMissing, "[012] FRU DATA cannot be gotten.\n"},
    {kMsgFolderBusy, "[013] another update is running from this folder.\n"},
    {kMsgFlashStillRunning, "[014] the flash program is still running.\n"},
    {kMsgFlashNotStarted, "[015] Yafuflash.exe cannot be started.\n"},
    {kMsgIcmdMissing, "[016] icmd.exe cannot be found.\n"},
    {kMsgFlashMissing, "[016] Yafuflash.exe cannot be found.\n"},
    {kMsgFolderNotWritable, "[016] the tool's folder cannot be written.\n"},
    {kMsgBmcBusy, "[017] another update of this BMC is running on this PC.\n"},
    // Both on lines of their own below a countdown line.
    {kMsgCannotInterrupt, "\nBMCのアップデート中は中断できません。終わるまでお待ちください。\n"},
    {kMsgUpdateGoesOn,
     "\n中断しました。BMCのアップデートは続いています。\n"
     "サーバーの電源を切らずに5分以上待ってから、もう一度実行してバージョンを確認してください。\n"},
    {kMsgLineFeed, "\n"},
};

struct BoxText {
  ResultBox box;
  const char* firstLine;
  const char* secondLine;
  const char* contactLine;
};

constexpr BoxText kBoxes[] = {
    {kBoxSuccess, "*   正常にBMCのアップデートが完了しました        *\n",
     "*   BMCのバージョンは09-16です                   *\n", nullptr},
    {kBoxAddressError, "*   [001] IPアドレス入力エラー                   *\n", kRetry, nullptr},
    {kBoxPasswordError, "*   [003] BMCパスワード入力エラー                *\n", kRetry, nullptr},
    {kBoxNotTargetModel, "*   [004] 対象機種ではありません                 *\n",
     "*   本装置と対象機種を再度、確認してください     *\n", nullptr},
    {kBoxAlreadyCurrent, "*   [005] BMCは最新バージョンです                *\n",
     "*   BMCをアップデートする必要はありません        *\n", nullptr},
    {kBoxVersionBefore, "*   [006] BMCバージョンエラー                    *\n", kRetry,
     kContactFirst},
    {kBoxVersionAfterFlash, "*   [007] BMCバージョンエラー                    *\n", kRetry,
     kContactSecond},
    {kBoxVersionAfterReset, "*   [008] BMCバージョンエラー                    *\n", kRetry,
     kContactSecond},
};

static_assert(IsEnumTable(kMessages, &MessageText::message, kMessageCount), "a row per Message");
static_assert(IsEnumTable(kBoxes, &BoxText::box, kBoxCount), "a row per ResultBox");

}  // namespace

void ShowBanner() {
  ConsoleWrite(kBorder);
  ConsoleWrite(kBlank);
  ConsoleWrite(kBannerTitle);
  ConsoleWrite(kBlank);
  ConsoleWrite(kBannerRelease);
  ConsoleWrite(kBorder);
}

void ShowMessage(Message message) { ConsoleWrite(kMessages[message].text); }

void ShowRevision(char major1, char major2, char minor1, char minor2) {
  char line[64];
  std::snprintf(line, sizeof line, kRevisionFormat, major1, major2, minor1, minor2);
  ConsoleWrite(line);
}

void ShowCountdownLine(const char* format, int seconds) {
  char line[128];
  std::snprintf(line, sizeof line, format, seconds / 60, seconds % 60);
  ConsoleWrite(line);
}

void PrintResultBox(const char* firstLine, const char* secondLine, const char* contactLine) {
  ConsoleWrite("\n");
  ConsoleWrite(kBorder);
  ConsoleWrite(kBlank);
  ConsoleWrite(firstLine);
  ConsoleWrite(secondLine);
  ConsoleWrite(kBlank);
  ConsoleWrite(kBorder);
  if (contactLine != nullptr) ConsoleWrite(contactLine);
  ConsoleWrite(kClosing);
}

void ShowResultBox(ResultBox box) {
  PrintResultBox(kBoxes[box].firstLine, kBoxes[box].secondLine, kBoxes[box].contactLine);
}

void WaitForKey() { PauseForKey(kPausePrompt); }
