// What starting a thread takes on every platform; the threads themselves
// start in process-posix.cc and process-win32.cc.
#include <cstdlib>

#include "platform/internal.h"

namespace {

struct ThreadStart {
  void (*body)();
};

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
