// Interrupts on POSIX: SIGINT, SIGQUIT, SIGHUP and SIGTERM, one handler for
// all. It calls only what a signal handler may: tcsetattr (the restorer),
// write, open, fstat, close, signal and raise.
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

#include "platform/interrupt.h"
#include "platform/platform.h"

namespace {

const int kEndingSignals[] = {SIGINT, SIGQUIT, SIGHUP, SIGTERM};

// Read by the handler, on whichever thread the signal lands.
std::atomic<void (*)()> g_restore{nullptr};
std::atomic<const InterruptNotice*> g_notice{nullptr};
std::atomic<const std::atomic<int>*> g_active{nullptr};
static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");
static_assert(std::atomic<const InterruptNotice*>::is_always_lock_free, "read in a signal handler");
bool g_installed = false;

extern "C" void EndOnInterrupt(int signalNumber) {
  void (*restore)() = g_restore.load();
  if (restore != nullptr) restore();
  const InterruptNotice* notice = g_notice.load();
  const std::atomic<int>* active = g_active.load();
  if (notice != nullptr && active != nullptr && active->load() != 0) {
    ssize_t ignored = write(STDOUT_FILENO, notice->text, std::strlen(notice->text));
    (void)ignored;
    if (notice->logName != nullptr) {
      (void)AppendTextLine(notice->logName, notice->logHeader, notice->logLine);
    }
  }
  // The signal's own action from here: the tool ends as interrupted.
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

// Takes over each ending signal, once, but for those the tool was started
// to ignore (a background job's SIGINT): they stay ignored.
void InstallHandler() {
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

// Blocks or unblocks the ending signals on the calling thread.
void MaskEndingSignals(int how) {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signalNumber : kEndingSignals) sigaddset(&signals, signalNumber);
  pthread_sigmask(how, &signals, nullptr);
}

}  // namespace

void InstallInterruptNotice(const InterruptNotice* notice, const std::atomic<int>* active) {
  InstallHandler();
  g_active.store(active);
  g_notice.store(notice);
}

void RemoveInterruptNotice() { g_notice.store(nullptr); }

// A thread inherits the mask of the thread that starts it.
void HoldInterrupts() { MaskEndingSignals(SIG_BLOCK); }

void ReleaseInterrupts() { MaskEndingSignals(SIG_UNBLOCK); }

void SetInterruptRestorer(void (*restore)()) {
  if (restore != nullptr) InstallHandler();
  g_restore.store(restore);
}
