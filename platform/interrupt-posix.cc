// The interrupt handler on POSIX: SIGINT, SIGQUIT, SIGHUP and SIGTERM, one
// handler for all. It calls only what a signal handler may: tcsetattr (the
// restorer), signal and raise.
#include <csignal>
#include <cstring>

#include "platform/internal.h"
#include "platform/interrupt.h"

namespace {

const int kEndingSignals[] = {SIGINT, SIGQUIT, SIGHUP, SIGTERM};

// Ends the tool by `signalNumber`, as it would have ended without a handler.
void EndBySignal(int signalNumber) {
  RestoreConsole();
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

extern "C" void OnInterrupt(int signalNumber) {
  if (InUpdateSpan() != 0) {
    RecordInterrupt();
    return;
  }
  EndBySignal(signalNumber);
}

// A write to a pipe whose reader has gone then fails instead of ending the
// tool. Not SIG_IGN: every program the tool starts would inherit that.
extern "C" void OnBrokenPipe(int /*signalNumber*/) {}

void Catch(int signalNumber, void (*handler)(int), const sigset_t& blocked) {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = handler;
  action.sa_mask = blocked;
  // A countdown's write or the wait for a program goes on after an interrupt
  // the span records.
  action.sa_flags = SA_RESTART;
  sigaction(signalNumber, &action, nullptr);
}

}  // namespace

// Takes over each ending signal, but for those the tool was started to
// ignore (a background job's SIGINT): they stay ignored. While the handler
// runs the others wait, so that two at once act as one.
void InstallPlatformHandlers() {
  sigset_t blocked;
  sigemptyset(&blocked);
  for (int signalNumber : kEndingSignals) sigaddset(&blocked, signalNumber);
  for (int signalNumber : kEndingSignals) {
    struct sigaction found;
    if (sigaction(signalNumber, nullptr, &found) == 0 && found.sa_handler == SIG_IGN) continue;
    Catch(signalNumber, OnInterrupt, blocked);
  }
  Catch(SIGPIPE, OnBrokenPipe, blocked);
}

void EndLikeChild(int signalNumber) {
  struct sigaction found;
  if (sigaction(signalNumber, nullptr, &found) == 0 && found.sa_handler == SIG_IGN) return;
  EndBySignal(signalNumber);
}
