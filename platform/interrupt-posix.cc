// The interrupt handler on POSIX: SIGINT, SIGQUIT, SIGHUP and SIGTERM, one
// handler for all. It calls only what a signal handler may: tcsetattr (the
// restorer), write, open, fstat, close, signal and raise.
#include <pthread.h>

#include <csignal>
#include <cstring>

#include "platform/internal.h"
#include "platform/interrupt.h"

namespace {

const int kEndingSignals[] = {SIGINT, SIGQUIT, SIGHUP, SIGTERM};
bool g_installed = false;

extern "C" void EndOnInterrupt(int signalNumber) {
  RunInterruptDuties();
  // The signal's own action from here: the tool ends as interrupted.
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

// Blocks or unblocks the ending signals on the calling thread.
void MaskEndingSignals(int how) {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signalNumber : kEndingSignals) sigaddset(&signals, signalNumber);
  pthread_sigmask(how, &signals, nullptr);
}

}  // namespace

// Takes over each ending signal, but for those the tool was started to
// ignore (a background job's SIGINT): they stay ignored.
void InstallInterruptHandler() {
  if (g_installed) return;
  g_installed = true;
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = EndOnInterrupt;
  sigemptyset(&action.sa_mask);
  for (int signalNumber : kEndingSignals) {
    struct sigaction found;
    if (sigaction(signalNumber, nullptr, &found) == 0 && found.sa_handler == SIG_IGN) continue;
    sigaction(signalNumber, &action, nullptr);
  }
}

// A thread inherits the mask of the thread that starts it.
void HoldInterrupts() { MaskEndingSignals(SIG_BLOCK); }

void ReleaseInterrupts() { MaskEndingSignals(SIG_UNBLOCK); }
