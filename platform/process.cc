// What the platforms share in starting threads and programs, so that it is
// written once: the pack a thread start carries (each platform's thread start
// passes its thread one pointer, and the pack is the same for both), and the
// list of handles the flash program inherits, which the files and the guard
// fill. The threads and programs themselves start in process-posix.cc and
// process-win32.cc.
#include <cstdlib>

#include "platform/internal.h"

namespace {

struct ThreadStart {
  void (*body)();
};

// The folder's lock, the BMC's lock and the update guard at most.
long long g_handedOn[4];
int g_handedOnCount = 0;

}  // namespace

void* NewThreadStart(void (*body)()) {
  auto* start = static_cast<ThreadStart*>(std::malloc(sizeof(ThreadStart)));
  if (start != nullptr) start->body = body;
  return start;
}

void RunThreadStart(void* start) {
  ThreadStart copy = *static_cast<ThreadStart*>(start);
  std::free(start);
  copy.body();
}

void HandOnToFlash(long long handle) {
  if (g_handedOnCount < static_cast<int>(sizeof g_handedOn / sizeof g_handedOn[0])) {
    g_handedOn[g_handedOnCount++] = handle;
  }
}

void StopHandingOn(long long handle) {
  for (int i = 0; i < g_handedOnCount; ++i) {
    if (g_handedOn[i] == handle) g_handedOn[i--] = g_handedOn[--g_handedOnCount];
  }
}

int HandedOnCount() { return g_handedOnCount; }

long long HandedOn(int index) { return g_handedOn[index]; }
