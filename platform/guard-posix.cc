// The update guard on Linux: a logind block inhibitor for shutdown, sleep,
// idle and the lid switch, asked for over the system bus. libsystemd is
// loaded only when the guard is raised, and in a child process of the
// tool's, which hands the inhibitor back: the tool links the C library
// alone, runs where libsystemd is missing, and never carries the library
// and the five it brings (some 2.7 MB) through its half hour. The flash
// program inherits the inhibitor, so that it lasts as long as the flash, the
// tool killed or not.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>

#include "platform/guard.h"
#include "platform/internal.h"

namespace {

// The sd-bus functions the guard calls, found in libsystemd by name. The
// header gives their types only: nothing of it is linked.
struct SdBus {
  decltype(&sd_bus_open_system) openSystem;
  decltype(&sd_bus_message_new_method_call) newMethodCall;
  decltype(&sd_bus_message_append) append;
  decltype(&sd_bus_call_async) callAsync;
  decltype(&sd_bus_process) process;
  decltype(&sd_bus_wait) wait;
  decltype(&sd_bus_message_get_errno) errorOf;
  decltype(&sd_bus_message_read) read;
  decltype(&sd_bus_message_unref) unrefMessage;
  decltype(&sd_bus_slot_unref) unrefSlot;
  decltype(&sd_bus_close) close;
  decltype(&sd_bus_unref) unref;
};

// logind shows these in its list of inhibitors; the console's Japanese
// texts are for the Windows shutdown screen.
const char kWho[] = "bmcupdate";
const char kWhy[] = "Updating a server's BMC firmware";
const char kWhatAll[] = "shutdown:sleep:idle:handle-lid-switch";
// What logind refuses more often than the rest (polkit asks an
// administrator for the lid switch in remote sessions).
const char kWhatNoLid[] = "shutdown:sleep:idle";

// How long a call may take, the connection's setup included: sd-bus would
// wait 25 s for logind, and longer for a bus that accepts and never answers.
const uint64_t kCallTimeoutUsec = 2 * 1000 * 1000;

// An answer not yet come.
const int kAwaited = -1000000;

// The tool's copy of the inhibitor's descriptor, -1 when none is held.
int g_inhibitor = -1;

// Sets `slot` to the library's function `name`; false when it has none.
template <typename Function>
bool Find(void* library, const char* name, Function* slot) {
  *slot = reinterpret_cast<Function>(dlsym(library, name));
  return *slot != nullptr;
}

// Loads libsystemd and fills `sd`; false where it is missing or too old.
// The library stays loaded: the process ends soon, and unloading one that
// may have left state behind gains nothing.
bool LoadSdBus(SdBus* sd) {
  void* library = dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return false;
  return Find(library, "sd_bus_open_system", &sd->openSystem) &&
         Find(library, "sd_bus_message_new_method_call", &sd->newMethodCall) &&
         Find(library, "sd_bus_message_append", &sd->append) &&
         Find(library, "sd_bus_call_async", &sd->callAsync) &&
         Find(library, "sd_bus_process", &sd->process) && Find(library, "sd_bus_wait", &sd->wait) &&
         Find(library, "sd_bus_message_get_errno", &sd->errorOf) &&
         Find(library, "sd_bus_message_read", &sd->read) &&
         Find(library, "sd_bus_message_unref", &sd->unrefMessage) &&
         Find(library, "sd_bus_slot_unref", &sd->unrefSlot) &&
         Find(library, "sd_bus_close", &sd->close) && Find(library, "sd_bus_unref", &sd->unref);
}

// Where an Inhibit call's answer lands: kAwaited, then a copy of the
// inhibitor's descriptor or a negative errno.
struct Answer {
  const SdBus* sd;
  int result;
};

// Takes logind's answer. The reply owns the descriptor it carries; the
// tool's close-on-exec copy outlives it.
int OnAnswer(sd_bus_message* reply, void* userdata, sd_bus_error* /*error*/) {
  auto* answer = static_cast<Answer*>(userdata);
  int held = -1;
  int result = -answer->sd->errorOf(reply);
  if (result == 0) result = answer->sd->read(reply, "h", &held);
  answer->result = result >= 0 ? fcntl(held, F_DUPFD_CLOEXEC, 3) : result;
  return 1;
}

uint64_t NowUsec() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000 + static_cast<uint64_t>(now.tv_nsec) / 1000;
}

// Runs the connection until the answer has come, or -ETIMEDOUT once the
// call's time is up; its own waits would not stop there.
void AwaitAnswer(const SdBus& sd, sd_bus* bus, Answer* answer) {
  const uint64_t deadline = NowUsec() + kCallTimeoutUsec;
  while (answer->result == kAwaited) {
    int done = sd.process(bus, nullptr);
    uint64_t now = NowUsec();
    if (done < 0 || now >= deadline) answer->result = done < 0 ? done : -ETIMEDOUT;
    if (done == 0 && now < deadline) (void)sd.wait(bus, deadline - now);
  }
}

// Asks logind for a block inhibitor of `what`: the tool's copy of its
// descriptor, or a negative errno.
int Inhibit(const SdBus& sd, sd_bus* bus, const char* what) {
  sd_bus_message* call = nullptr;
  sd_bus_slot* slot = nullptr;
  Answer answer{&sd, kAwaited};
  int sent = sd.newMethodCall(bus, &call, "org.freedesktop.login1", "/org/freedesktop/login1",
                              "org.freedesktop.login1.Manager", "Inhibit");
  if (sent >= 0) sent = sd.append(call, "ssss", what, kWho, kWhy, "block");
  if (sent >= 0) sent = sd.callAsync(bus, &slot, call, OnAnswer, &answer, kCallTimeoutUsec);
  if (sent >= 0) AwaitAnswer(sd, bus, &answer);
  // A late answer must find no callback: `answer` ends here.
  sd.unrefSlot(slot);
  sd.unrefMessage(call);
  return sent >= 0 ? answer.result : sent;
}

// The inhibitor's descriptor, or -1 where there is no bus, no logind, or
// logind refuses.
int TakeInhibitor() {
  SdBus sd{};
  sd_bus* bus = nullptr;
  if (!LoadSdBus(&sd) || sd.openSystem(&bus) < 0) return -1;
  int held = Inhibit(sd, bus, kWhatAll);
  // A logind that gave no answer in time is not asked twice.
  if (held < 0 && held != -ETIMEDOUT) held = Inhibit(sd, bus, kWhatNoLid);
  sd.close(bus);
  sd.unref(bus);
  return held >= 0 ? held : -1;
}

// A message of one byte with room for one descriptor, in `data` and `space`.
struct OneDescriptor {
  char byte = 0;
  iovec data{&byte, 1};
  alignas(cmsghdr) char space[CMSG_SPACE(sizeof(int))] = {};
  msghdr message{};
  OneDescriptor() {
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = space;
    message.msg_controllen = sizeof space;
  }
};

// Sends descriptor `held` over the socket `channel`.
void SendDescriptor(int channel, int held) {
  OneDescriptor sent;
  cmsghdr* header = CMSG_FIRSTHDR(&sent.message);
  header->cmsg_level = SOL_SOCKET;
  header->cmsg_type = SCM_RIGHTS;
  header->cmsg_len = CMSG_LEN(sizeof held);
  std::memcpy(CMSG_DATA(header), &held, sizeof held);
  (void)sendmsg(channel, &sent.message, MSG_NOSIGNAL);
}

// The descriptor that came over `channel`, close-on-exec, or -1 when the
// sender ended without one.
int ReceiveDescriptor(int channel) {
  OneDescriptor got;
  if (recvmsg(channel, &got.message, MSG_CMSG_CLOEXEC) != 1) return -1;
  cmsghdr* header = CMSG_FIRSTHDR(&got.message);
  if (header == nullptr || header->cmsg_type != SCM_RIGHTS) return -1;
  int held = -1;
  std::memcpy(&held, CMSG_DATA(header), sizeof held);
  return held;
}

// TakeInhibitor in a child that ends once it has handed the descriptor over.
// Raised before the flash worker starts, the tool has one thread then, so
// the child may load libraries.
int TakeInhibitorApart() {
  int channel[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0) return -1;
  pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    int held = TakeInhibitor();
    if (held >= 0) SendDescriptor(channel[1], held);
    _exit(0);
  }
  close(channel[1]);
  int held = child > 0 ? ReceiveDescriptor(channel[0]) : -1;
  close(channel[0]);
  if (child > 0) (void)waitpid(child, nullptr, 0);
  return held;
}

}  // namespace

void RealRaiseUpdateGuard(const char* /*title*/, const char* /*reason*/) {
  if (g_inhibitor >= 0) return;
  g_inhibitor = TakeInhibitorApart();
  if (g_inhibitor >= 0) HandOnToFlash(g_inhibitor);
}

void RealReleaseUpdateGuard(GuardHolder holder) {
  // The flash program's copy ends with it, whatever becomes of the tool.
  if (holder != kGuardSpan || g_inhibitor < 0) return;
  StopHandingOn(g_inhibitor);
  close(g_inhibitor);
  g_inhibitor = -1;
}
