// The POSIX side of running the tool: /bin/sh, wait statuses, UTF-8 text
// with plain line feeds, and the tool's own pause prompt.
#include <sys/wait.h>

#include <string>

#include "e2e.h"

std::string ToolCommandText(const std::string& folder, const std::string& toolName) {
  return "cd '" + folder + "' && ./" + toolName + " < stdin.txt > stdout.txt 2> stderr.txt";
}

int DecodeExitStatus(int status) {
  return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool RestoreLineEnds(const std::string& raw, std::string* text) {
  *text = raw;
  return true;
}

bool IsPausePrompt(const std::string& tail) {
  // Without a terminal the pause reads one line; the end of input ends it.
  return tail == "続行するには何かキーを押してください . . . \n";
}

int DisplayColumns(const std::string& line) {
  int columns = 0;
  for (size_t at = 0; at < line.size(); ++at) {
    unsigned char byte = static_cast<unsigned char>(line[at]);
    if (byte < 0x20 || (byte & 0xC0) == 0x80) continue;  // control or continuation
    if (byte < 0x80) {
      ++columns;
      continue;
    }
    // Half-width katakana (U+FF61 to U+FF9F, EF BD A1 to EF BE 9F) take one
    // column; every other character the tool writes takes two.
    bool halfWidth = byte == 0xEF && at + 2 < line.size() &&
                     ((static_cast<unsigned char>(line[at + 1]) == 0xBD &&
                       static_cast<unsigned char>(line[at + 2]) >= 0xA1) ||
                      static_cast<unsigned char>(line[at + 1]) == 0xBE);
    columns += halfWidth ? 1 : 2;
  }
  return columns;
}

bool FlashLogsCommandLine() { return false; }
