// What an interrupt of the tool does (Ctrl+C, a hang-up, a terminating
// signal, the console window closed): one handler per platform, which puts
// the console back, says what goes on where a program of the tool's still
// runs, and then ends the tool as an interrupted program ends.
#ifndef BMCUPDATE_PLATFORM_INTERRUPT_H_
#define BMCUPDATE_PLATFORM_INTERRUPT_H_

#include <atomic>

// What an interrupt writes while a program the tool started still runs.
struct InterruptNotice {
  const char* text;       // for the console
  const char* logName;    // the file `logLine` is appended to, or null for none
  const char* logHeader;  // written before `logLine` into a new or empty file
  const char* logLine;
};

// From now until RemoveInterruptNotice, an interrupt that comes while
// `*active` is non-zero first writes the notice's text and appends its line;
// while `*active` is zero an interrupt ends the tool at once, as before. Both
// must live to the end of the process.
void InstallInterruptNotice(const InterruptNotice* notice, const std::atomic<int>* active);

// Takes the notice back: an interrupt ends the tool without a word again.
void RemoveInterruptNotice();

// Holds interrupts back, on the calling thread and on every thread it starts
// from now on, until ReleaseInterrupts: one that comes meanwhile takes effect
// then, once what it must say is known.
void HoldInterrupts();

// Lets interrupts reach the calling thread again.
void ReleaseInterrupts();

// For the console's own use: `restore` (null: none) puts back a console mode
// the tool changed; an interrupt calls it first. It must be safe to call
// from a signal handler.
void SetInterruptRestorer(void (*restore)());

#endif  // BMCUPDATE_PLATFORM_INTERRUPT_H_
