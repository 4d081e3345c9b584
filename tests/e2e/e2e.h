// Running the built tool as a process in a folder of its own, and the texts
// it is expected to write. Paths are relative to the tests' working
// directory (the build folder of tests/e2e).
#ifndef BMCUPDATE_TESTS_E2E_E2E_H_
#define BMCUPDATE_TESTS_E2E_E2E_H_

#include <string>
#include <vector>

// What one run of the tool left behind.
struct ToolRun {
  int exitCode;        // the process exit code, or -1 when it did not exit
  std::string output;  // standard output, line ends as the tool wrote them
  bool lineEndsRight;  // every line feed arrived as the platform writes it
  std::string errors;  // standard error (the stand-ins' chatter)
};

// ---- harness.cc -------------------------------------------------------

// Empties (or makes) work/<name> and returns its path.
std::string PrepareFolder(const std::string& name);

// Copies a built program into the folder under `name`.
void CopyProgram(const std::string& folder, const char* source, const char* name);

// Copies the fast-clock tool into the folder.
void CopyTool(const std::string& folder);

// Writes `content` byte for byte into folder/name.
void WriteFile(const std::string& folder, const std::string& name, const std::string& content);

// Makes a folder folder/name (to stand where the tool expects a file).
void MakeSubfolder(const std::string& folder, const std::string& name);

// Reads folder/name whole; false when it cannot be opened.
bool ReadFile(const std::string& folder, const std::string& name, std::string* content);

// The names in the folder that equal `name` ignoring case.
std::vector<std::string> EntriesIgnoringCase(const std::string& folder, const std::string& name);

// Runs the tool copied into the folder, with standard input from `input`.
ToolRun RunTool(const std::string& folder, const std::string& input);

// The lines of bmcsim.log without their line ends; empty when there is none.
std::vector<std::string> ReadLog(const std::string& folder);

// Lines of the log that begin with `head`.
std::vector<std::string> LogLinesStartingWith(const std::vector<std::string>& log,
                                              const std::string& head);

// The value of `key=` in the simulated BMC's state file, or "" when absent.
std::string StateValue(const std::string& folder, const std::string& key);

// Compares two texts and reports the first difference with its context.
void ExpectSameText(const std::string& expected, const std::string& actual);

// Checks a run that ends with the interpreter's pause after a result box:
// exit code, the platform's line ends, the banner, `expected` word for word
// after the banner, then the pause prompt and nothing else.
void ExpectBoxRun(const ToolRun& run, int exitCode, const std::string& expected);

// The same for a run that ends without a box and without a pause.
void ExpectPlainRun(const ToolRun& run, int exitCode, const std::string& expected);

// ---- run-posix.cc / run-win32.cc ---------------------------------------

// The command text that runs the tool in `folder` with its standard streams
// redirected to files there.
std::string ToolCommandText(const std::string& folder, const std::string& toolName);

// The exit code from what std::system returned, or -1.
int DecodeExitStatus(int status);

// Turns the captured bytes back into the text the tool wrote. False when a
// line feed did not arrive as the platform's text mode writes it.
bool RestoreLineEnds(const std::string& raw, std::string* text);

// True when `tail` is what the interpreter's pause writes on this platform.
bool IsPausePrompt(const std::string& tail);

// Display columns of one line in the tool's console encoding.
int DisplayColumns(const std::string& line);

// True where the flash stand-in also logs its raw command line.
bool FlashLogsCommandLine();

// ---- expected.cc --------------------------------------------------------

// The tool's result boxes.
enum Box { kSuccess, kBox001, kBox003, kBox004, kBox005, kBox006, kBox007, kBox008 };

extern const char kConfirmPrompt[];
extern const char kAddressPrompts[];  // the address request and prompt
extern const char kPasswordStatePrompt[];
extern const char kPasswordPrompts[];  // the password request and prompt
extern const char kImageMissing[];
extern const char kImageNameTooLong[];
extern const char kVersionFileMissing[];
extern const char kFruFileMissing[];
extern const char kFruDataMissing[];
extern const char kFactoryPassword[];

// A result box, its contact line and the closing line.
std::string BoxText(Box box);

// The revision line for a revision such as "09-12".
std::string RevisionLine(const char* revision);

// The line feed, the flash countdown from 05:00 to 00:01, the line feed.
std::string FlashCountdownText();

// The cold reset countdown from 01:30 to 00:01 and the line feed.
std::string ResetCountdownText();

// Checks the banner at the start of the output and returns what follows it.
std::string AfterBanner(const ToolRun& run);

// The dialogue up to the end of the password-state prompt, for replies
// y / address / y.
std::string DialogueText();

// The log line of one icmd.exe request with the given request bytes.
std::string IcmdLogLine(const std::string& address, const std::string& password,
                        const std::string& request);

// The sixteen Read FRU Data log lines, offsets 00 to F0; `count` limits them.
std::vector<std::string> FruLogLines(const std::string& address, const std::string& password,
                                     int count = 16);

#endif  // BMCUPDATE_TESTS_E2E_E2E_H_
