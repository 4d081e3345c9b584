// Reading and checking the operator's replies. The checks keep anything
// that could change how a command line divides or what the interpreter does
// out of UpdateSettings.
#ifndef BMCUPDATE_PROCEDURE_DIALOGUE_H_
#define BMCUPDATE_PROCEDURE_DIALOGUE_H_

// What a yes/no reply says.
enum Answer { kAnswerYes, kAnswerNo, kAnswerOther, kAnswerEnd };

// Reads one reply from standard input: at most size - 1 bytes, stopping
// after the first LF, which is kept; the rest of a longer line is skipped.
// Returns the number of bytes stored (NUL bytes included), or -1 when the
// input had ended before anything was read (or `size` holds no reply).
int ReadReply(char* reply, int size);

// The answer given by a reply's first byte.
Answer ClassifyReply(const char* reply, int length);

// Copies the address (the reply without its LF) into `field` when it has 6
// to 15 bytes, all of them letters, digits, '.', ':' or '-'. 0, or -1.
int AcceptAddress(const char* reply, int length, char* field, int fieldSize);

// Copies the password (the reply without its LF) into `field` when it has at
// most 19 bytes, all printable ASCII but for those a quoted command line
// cannot carry. 0, or -1.
int AcceptPassword(const char* reply, int length, char* field, int fieldSize);

// Copies the image name (the first line of image.txt without its line
// terminator, and without a UTF-8 byte order mark) into `field` when it fits
// and is one plain argument. 0, -1 when it is too long, -2 when the file is
// UTF-16 or the name holds a blank, '"', a control byte or begins with '-'.
int AcceptImageName(const char* line, int length, char* field, int fieldSize);

#endif  // BMCUPDATE_PROCEDURE_DIALOGUE_H_
