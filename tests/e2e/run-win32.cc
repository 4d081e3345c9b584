// The Windows side of running the tool: cmd.exe, plain exit codes, CP932
// text whose line feeds the runtime's text mode writes as CR LF, and the
// interpreter's own pause prompt.
#include <string>

#include "e2e.h"

std::string ToolCommandText(const std::string& folder, const std::string& toolName) {
  std::string path = folder;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return "cd " + path + " && .\\" + toolName + " < stdin.txt > stdout.txt 2> stderr.txt";
}

int DecodeExitStatus(int status) { return status; }

bool RestoreLineEnds(const std::string& raw, std::string* text) {
  bool allCrLf = true;
  text->clear();
  for (size_t at = 0; at < raw.size(); ++at) {
    if (raw[at] == '\n') {
      if (at > 0 && raw[at - 1] == '\r') {
        text->pop_back();
      } else {
        allCrLf = false;
      }
    }
    text->push_back(raw[at]);
  }
  return allCrLf;
}

bool IsPausePrompt(const std::string& tail) {
  // Its wording is the interpreter's; it is one line, the last thing written.
  size_t lineFeed = tail.find('\n');
  return !tail.empty() && (lineFeed == std::string::npos || lineFeed == tail.size() - 1);
}

int DisplayColumns(const std::string& line) {
  // In CP932 every byte is one column: a double-byte character takes two.
  int columns = 0;
  for (char c : line) {
    if (static_cast<unsigned char>(c) >= 0x20) ++columns;
  }
  return columns;
}

bool FlashLogsCommandLine() { return true; }
