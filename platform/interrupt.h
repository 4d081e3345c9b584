// Interrupts of the tool: Ctrl+C and Ctrl+Break, SIGINT, SIGTERM, SIGHUP and
// SIGQUIT. Outside the update span an interrupt puts the console back and
// ends the tool at once, as any program ends. In the span (from just before
// the flash program starts to the final box) it is only recorded: the flow
// asks for it where it waits, and the update runs on to its true end.
#ifndef BMCUPDATE_PLATFORM_INTERRUPT_H_
#define BMCUPDATE_PLATFORM_INTERRUPT_H_

// What ends the process anyway, with a moment's warning (Windows only).
enum EndingEvent {
  kEndingWindowClosed,  // the console window was closed
  kEndingSession,       // logoff or shutdown
};

// Installs the interrupt handlers, once, at start. `ending` (may be null) is
// called at most once, on some other thread, when the process is about to
// end anyway during the span.
void InstallInterruptHandlers(void (*ending)(EndingEvent event));

// From now until LeaveUpdateSpan, interrupts are recorded and not obeyed;
// the programs the tool starts meanwhile do not get them either.
void EnterUpdateSpan();

// Interrupts end the tool again. EnterUpdateSpan, LeaveUpdateSpan and
// TakeInterrupt go through the platform seam (platform/seam.h).
void LeaveUpdateSpan();

// 1 once, for the first interrupt recorded in the span; 0 otherwise.
int TakeInterrupt();

// For the console's own use: `restore` (null: none) puts back a console mode
// the tool changed; an interrupt that ends the tool calls it first. It must
// be safe to call from a signal handler.
void SetInterruptRestorer(void (*restore)());

#endif  // BMCUPDATE_PLATFORM_INTERRUPT_H_
