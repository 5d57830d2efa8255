#include "platform/interrupt.h"

#include <cerrno>
#include <csignal>

namespace platform {
namespace {

const Event* g_interrupt = nullptr;

void OnInterrupt(int) {
  // Event::Set is a bare write(2), safe in a signal handler.
  int saved = errno;
  if (g_interrupt != nullptr) g_interrupt->Set();
  errno = saved;
}

}  // namespace

const Event* InterruptEvent() {
  static const Event* const event = [] {
    static Event e;
    if (!e.IsValid()) return static_cast<const Event*>(nullptr);
    g_interrupt = &e;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return static_cast<const Event*>(&e);
  }();
  return event;
}

}  // namespace platform
