// bmcsim.log in the working directory: one line per call of a stand-in, so
// that tests can check the exact requests and their order.
#ifndef BMCSIM_SIMLOG_H_
#define BMCSIM_SIMLOG_H_

// Appends `tag`, then " [ARG]" for each of argv[1] to argv[argc - 1], then
// LF. 0, or -1 when the log could not be written.
int LogCall(const char* tag, int argc, char** argv);

// Appends `tag`, a blank, `text` and LF. 0, or -1.
int LogText(const char* tag, const char* text);

// Counts the log lines that begin with `head` and contain `part` (judged on
// a line's first 4095 bytes). A missing log counts 0.
int CountLogLines(const char* head, const char* part);

#endif  // BMCSIM_SIMLOG_H_
