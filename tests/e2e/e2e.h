// Running the built tool as a process in a folder of its own, and the texts
// it must write. Paths are relative to the build folder of tests/e2e.
#ifndef BMCUPDATE_TESTS_E2E_E2E_H_
#define BMCUPDATE_TESTS_E2E_E2E_H_

#include <cstdio>
#include <string>

// What one run of the tool left behind.
struct ToolRun {
  int exitCode;        // the process exit code, or -1 when it did not exit
  std::string output;  // standard output with CR LF read back as LF
  bool lineEndsRight;  // every LF arrived as the platform's text mode writes it
};

// Empties (or makes) work/<name> with the tool in it and returns its path.
std::string PrepareFolder(const std::string& name);
// Copies a built program into the folder under `name`.
void CopyProgram(const std::string& folder, const char* source, const char* name);
// Writes `content` byte for byte into folder/name.
void WriteFile(const std::string& folder, const std::string& name, const std::string& content);
// folder/name whole, or "<none>" when it cannot be read.
std::string ReadFile(const std::string& folder, const std::string& name);
// Runs the tool in the folder, standard input from `input`, to its end; its
// streams go to stdin<tag>.txt, stdout<tag>.txt and stderr<tag>.txt.
ToolRun RunTool(const std::string& folder, const std::string& input, const std::string& tag = "");
// Starts the tool with `input` on a pipe that stays open; FinishTool
// closes the pipe and waits.
std::FILE* StartTool(const std::string& folder, const std::string& input);
ToolRun FinishTool(const std::string& folder, std::FILE* pipe);
// Waits up to 20 s for `text` to appear in the running tool's output.
bool WaitForOutput(const std::string& folder, const std::string& text);
// Checks the output: the banner, `tokens` spelt out (see Piece in
// harness.cc), the pause prompt where a box ends the run, and nothing else.
void ExpectTranscript(const ToolRun& run, const std::string& tokens);
// `text` with its line ends as the platform's text files have them.
std::string TextLines(std::string text);
// Display columns of one line in the tool's console encoding.
int DisplayColumns(const std::string& line);

#endif  // BMCUPDATE_TESTS_E2E_E2E_H_
