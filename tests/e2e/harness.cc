// Folders, runs of the tool and the texts it writes, for both builds: the
// Windows build runs under Wine, writes CP932 and ends its lines CR LF.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "e2e.h"

namespace fs = std::filesystem;

namespace {

const bool kWindows = E2E_WINDOWS;

std::string Countdown(const char* format, int seconds) {
  std::string text;
  char line[128];
  for (int left = seconds; left >= 1; --left) {
    std::snprintf(line, sizeof line, format, left / 60, left % 60);
    text += line;
  }
  return text;
}

// A box or banner line: the text after three blanks, filled to 50 columns.
std::string Framed(const std::string& text) {
  std::string line = "*   " + text;
  return line + std::string(static_cast<size_t>(49 - DisplayColumns(line)), ' ') + "*\n";
}

const std::string kBorder = std::string(50, '*') + "\n";
const std::string kBlank = Framed("");

// clang-format off
// Box N (0: success): its two lines, and whether it asks to call for help.
std::string Box(int n) {
  static const char* const kFirst[] = {"正常にBMCのアップデートが完了しました", "[001] IPアドレス入力エラー", "",
      "[003] BMCパスワード入力エラー", "[004] 対象機種ではありません", "[005] BMCは最新バージョンです",
      "[006] BMCバージョンエラー", "[007] BMCバージョンエラー", "[008] BMCバージョンエラー"};
  const char* second = n == 0 ? "BMCのバージョンは09-16です" : n == 4 ? "本装置と対象機種を再度、確認してください"
                       : n == 5 ? "BMCをアップデートする必要はありません" : "もう一度、最初からやり直してください";
  const std::string help = "結果が変わらない場合はお問い合わせ先に連絡してください\n";
  return "\n" + kBorder + kBlank + Framed(kFirst[n]) + Framed(second) + kBlank + kBorder +
         (n == 6 ? "\n" + help : n > 6 ? help : "") + "アップデートツールを終了します\n";
}

// One token: c a s p the prompts, rXXYY a revision line, f and z the flash
// and reset countdowns, bN box N, mN the message line [00N] (mL: name too long).
std::string Piece(const std::string& token) {
  if (token[0] == 'r') return "\nBMCバージョン : " + token.substr(1, 2) + "-" + token.substr(3) + "\n";
  if (token[0] == 'b') return Box(token[1] - '0');
  if (token == "f") return "\n" + Countdown("BMCアップデート中です（残り時間＝%02d:%02d）\r", 300) + "\n";
  if (token == "z") return Countdown("BMC再起動中です（残り時間＝%02d:%02d）\r", 90) + "\n";
  const char* const kTexts[][2] = {
      {"c", "\nBMCのファームウェアを更新しますか？ [y/n] : "},
      {"a", "\nアップデート対象機のBMCに設定されているIPアドレスを入力してください。\n\nBMC IPアドレス : "},
      {"s", "\nアップデート対象機のBMCパスワードは工場出荷状態ですか？ [y/n] : "},
      {"p", "\nBMCパスワードを入力してください。\n\nBMCパスワード : "},
      {"m9", "[009] image.txt cannot be opened.\n"},
      {"mL", "[009] image name in image.txt is too long.\n"},
      {"m10", "[010] version.txt cannot be opened.\n"},
      {"m11", "[011] fru.txt cannot be opened.\n"},
      {"m12", "[012] FRU DATA cannot be gotten.\n"},
      {"m13", "[013] another update is running from this folder.\n"}};
  // clang-format on
  for (const auto& text : kTexts) {
    if (token == text[0]) return text[1];
  }
  ADD_FAILURE() << "no token " << token;
  return "";
}

}  // namespace

int DisplayColumns(const std::string& line) {
  // CP932: a byte a column. UTF-8: a double-width character (all the tool
  // writes) has two columns and a lead byte; continuation bytes add none.
  int columns = 0;
  for (char c : line) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20) columns += kWindows || byte < 0x80 ? 1 : (byte >= 0xC0 ? 2 : 0);
  }
  return columns;
}

void ExpectTranscript(const ToolRun& run, const std::string& tokens) {
  std::string text = kBorder + kBlank + Framed("BMCファームウェアアップデート（09-16）") + kBlank +
                     "*" + std::string(20, ' ') + "2026/12/06 (株)Varnholtek   *\n" + kBorder;
  std::istringstream words(tokens);
  for (std::string token; words >> token;) {
    size_t star = token.find('*');
    int times = star == std::string::npos ? 1 : std::stoi(token.substr(star + 1));
    for (int i = 0; i < times; ++i) text += Piece(token.substr(0, star));
  }
  size_t same = 0;
  while (same < text.size() && same < run.output.size() && text[same] == run.output[same]) ++same;
  EXPECT_EQ(text.size(), same) << "differs after: " << text.substr(same < 80 ? 0 : same - 80, 80);
  // A box ends with the pause: the tool's own prompt, or the interpreter's (one line).
  std::string tail = run.output.substr(same);
  bool box = tokens.find('b') != std::string::npos;
  EXPECT_TRUE(kWindows && box
                  ? !tail.empty() && tail.find('\n') >= tail.size() - 1
                  : tail == (box ? "続行するには何かキーを押してください . . . \n" : ""))
      << tail;
  for (size_t at = 0, end; (end = run.output.find('\n', at)) != std::string::npos; at = end + 1) {
    std::string line = run.output.substr(at, end - at);
    EXPECT_TRUE(line[0] != '*' || DisplayColumns(line) == 50) << line;
  }
}

std::string TextLines(std::string text) {
  for (size_t at = 0; kWindows && (at = text.find('\n', at)) != std::string::npos; at += 2) {
    text.insert(at, "\r");
  }
  return text;
}

std::string PrepareFolder(const std::string& name) {
  std::string folder = "work/" + name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  CopyProgram(folder, E2E_TOOL_PATH, E2E_TOOL_NAME);
  return folder;
}

void CopyProgram(const std::string& folder, const char* source, const char* name) {
  std::error_code error;
  fs::copy_file(source, folder + "/" + name, fs::copy_options::overwrite_existing, error);
  EXPECT_FALSE(error) << source << ": " << error.message();
}

void WriteFile(const std::string& folder, const std::string& name, const std::string& content) {
  std::ofstream(folder + "/" + name, std::ios::binary) << content;
}

std::string ReadFile(const std::string& folder, const std::string& name) {
  std::ifstream file(folder + "/" + name, std::ios::binary);
  bool readable = file && fs::is_regular_file(folder + "/" + name);
  return readable ? std::string(std::istreambuf_iterator<char>(file), {}) : "<none>";
}

namespace {

// The tool's command text for the platform's interpreter; on POSIX a decoy
// icmd.exe and Yafuflash.exe stand first on PATH, and must not be run.
std::string ToolCommand(const std::string& folder, const std::string& input,
                        const std::string& tag) {
  std::string streams = input + " > stdout" + tag + ".txt 2> stderr" + tag + ".txt";
  if (!kWindows) return "cd " + folder + " && PATH=../../decoy:$PATH ./" E2E_TOOL_NAME + streams;
  std::string path = folder;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return "cd " + path + " && .\\" E2E_TOOL_NAME + streams;
}

ToolRun Finished(const std::string& folder, int status, const std::string& tag = "") {
  // std::system and pclose give a wait status on POSIX, the exit code on Windows.
  ToolRun run{kWindows ? status : ((status & 0x7F) == 0 ? (status >> 8) & 0xFF : -1), "", true};
  std::string raw = ReadFile(folder, "stdout" + tag + ".txt");
  if (!kWindows) run.output = raw;
  for (size_t at = 0; kWindows && at < raw.size(); ++at) {
    if (raw[at] == '\n' && (at == 0 || raw[at - 1] != '\r')) run.lineEndsRight = false;
    if (raw[at] == '\r' && at + 1 < raw.size() && raw[at + 1] == '\n') continue;
    run.output += raw[at];
  }
  return run;
}

}  // namespace

ToolRun RunTool(const std::string& folder, const std::string& input, const std::string& tag) {
  WriteFile(folder, "stdin" + tag + ".txt", input);
  std::fflush(stdout);
  int status = std::system(ToolCommand(folder, " < stdin" + tag + ".txt", tag).c_str());
  return Finished(folder, status, tag);
}

std::FILE* StartTool(const std::string& folder, const std::string& input) {
  std::fflush(stdout);
  std::FILE* pipe = popen(ToolCommand(folder, "", "").c_str(), "w");
  if (pipe != nullptr) std::fputs(input.c_str(), pipe);
  if (pipe != nullptr) std::fflush(pipe);
  return pipe;
}

ToolRun FinishTool(const std::string& folder, std::FILE* pipe) {
  return Finished(folder, pclose(pipe));
}

bool WaitForOutput(const std::string& folder, const std::string& text) {
  for (int i = 0; i < 200; ++i) {
    if (ReadFile(folder, "stdout.txt").find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}
