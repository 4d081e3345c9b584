// Shared by the fuzz targets: the fuzz build's platform serves the console
// input from the fuzzer's bytes, and files live in a scratch folder.
#ifndef BMCUPDATE_FUZZ_FUZZ_SUPPORT_H_
#define BMCUPDATE_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>

// Stops the run with the failed invariant; libFuzzer keeps the input.
#define FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : FuzzCheckFailed(#condition, __FILE__, __LINE__))

// Prints the failed invariant and aborts.
[[noreturn]] void FuzzCheckFailed(const char* condition, const char* file, int line);

// Makes `size` bytes from `data` the console's standard input.
void ServeConsoleInput(const std::uint8_t* data, std::size_t size);

// How many bytes of the console input have been read so far.
std::size_t ConsoleInputPosition();

// Makes a new empty folder under the temp folder, removed when the process
// ends, and returns the path of the file `name` in it. The working directory
// stays, so that inputs named relative to it are found. Call once, from
// LLVMFuzzerInitialize.
const char* MakeScratchFile(const char* name);

// Writes the bytes as the whole file at `path`.
void WriteScratchFile(const char* path, const std::uint8_t* data, std::size_t size);

// The text that text-mode reading makes of the bytes: CR LF becomes LF and
// byte 1Ah ends the text. Written independently of the reader under test.
std::string TextModeText(const std::uint8_t* data, std::size_t size);

// True when `line` (its first `length` bytes) stands at the start of a line
// of `text`: at its very start or right after a line feed.
bool StartsALineOf(const std::string& text, const char* line, std::size_t length);

#endif  // BMCUPDATE_FUZZ_FUZZ_SUPPORT_H_
