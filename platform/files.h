// The files of the tool's folder: image.txt and the capture files read in
// text mode, deleted captures, the image's and the folder's checks, the
// locks and the run log's append. The checks and the locks go through the
// platform seam (platform/seam.h).
#ifndef BMCUPDATE_PLATFORM_FILES_H_
#define BMCUPDATE_PLATFORM_FILES_H_

#include <cstdio>

// A file opened for text-mode reading (see ReadTextLine).
struct TextInput {
  std::FILE* stream;  // opened for binary reading; text mode is our own code
  int pending;        // a byte read ahead, or -1
  int ended;          // 1 once the end of the text (or byte 1Ah) was met
};

// Opens a file of the working directory for text-mode reading. File names
// are matched without regard to case, as on Windows. 0, or -1 when the file
// cannot be opened.
int OpenTextInput(const char* name, TextInput* input);

// Reads one byte in text mode (CR LF reads as LF, a lone CR stays, byte 1Ah
// ends the text): 0 to 255, or -1 at the end.
int ReadTextByte(TextInput* input);

// Reads one line in text mode (CR LF reads as LF, a lone CR stays, byte 1Ah
// ends the text): at most size - 1 bytes, stopping after the first LF, which
// is kept, then a NUL. Returns the number of bytes stored; 0 at the end.
int ReadTextLine(TextInput* input, char* line, int size);

// Closes a file opened by OpenTextInput.
void CloseTextInput(TextInput* input);

// Deletes a file of the working directory, matched as OpenTextInput matches.
// 0, or -1 when nothing was deleted.
int DeleteNamedFile(const char* name);

// What a lock came to.
enum LockResult {
  kLockTaken = 0,
  kLockHeldElsewhere = 1,  // another process holds it
  kLockUnavailable = -1,   // its file could not be made
};

// Takes an exclusive lock on the file `name` of the working directory: the
// folder's answer files are this run's. Held to the end of the process and
// of the flash program (StartChild), and released by the operating system
// however they end.
LockResult LockFolder(const char* name);

// The size of the regular file `name` of the working directory, named as
// the programs the tool starts name it (with its case where names keep it),
// or -1 when there is no such file.
long long RegularFileSize(const char* name);

// 0 when the file `probeName` can be made in the working directory (it is
// deleted again at once), -1 when the folder cannot be written.
int ProbeFolderWritable(const char* probeName);

// Takes an exclusive lock on the file `name` in the tool's folder of the
// user's temporary folder (made for the user alone where it is missing),
// held like LockFolder's: a BMC is this run's, whichever folder a second
// run starts from. kLockUnavailable also where the folder is not the
// user's alone.
LockResult LockInTempFolder(const char* name);

// Appends `line`, after `header` when the file is new or empty, to the file
// `name` of the working directory in one write; LF ends a line as in every
// text file of the platform. 0, or -1 when nothing was written.
int AppendTextLine(const char* name, const char* header, const char* line);

#endif  // BMCUPDATE_PLATFORM_FILES_H_
