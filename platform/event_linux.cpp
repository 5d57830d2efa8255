#include "platform/event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

namespace platform {

Event::Event() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

bool Event::IsValid() const { return fd_ >= 0; }

Event::~Event() {
  if (fd_ >= 0) ::close(fd_);
}

void Event::Set() const {
  std::uint64_t one = 1;
  // Only fails when the counter is about to overflow, which an event that
  // is taken by reading can never reach; the event is signalled either way.
  ssize_t n;
  do {
    n = ::write(fd_, &one, sizeof one);
  } while (n < 0 && errno == EINTR);
}

bool Event::TryTake() const {
  std::uint64_t count;
  // Reading an eventfd (without EFD_SEMAPHORE) empties the whole counter,
  // so several sets before one take count as one signal.
  ssize_t n;
  do {
    n = ::read(fd_, &count, sizeof count);
  } while (n < 0 && errno == EINTR);
  return n == sizeof count;
}

void Event::Reset() const { TryTake(); }

EventHandle CreateEvent() {
  auto event = std::make_shared<Event>();
  if (!event->IsValid()) return nullptr;
  return event;
}

int WaitForEvents(const Event* const* events, int count, int timeoutMs) {
  constexpr int kMaxEvents = 8;
  if (count < 1 || count > kMaxEvents) return kWaitFailed;
  pollfd fds[kMaxEvents];
  for (int i = 0; i < count; ++i) {
    if (events[i] == nullptr || !events[i]->IsValid()) return kWaitFailed;
    fds[i] = {events[i]->fd(), POLLIN, 0};
  }
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  for (;;) {
    int wait = timeoutMs;
    if (timeoutMs >= 0) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      wait = left > 0 ? static_cast<int>(left) : 0;
    }
    int ready = ::poll(fds, static_cast<nfds_t>(count), wait);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return kWaitFailed;
    }
    // Scanning in order gives the earliest signalled event priority; the
    // take fails only if another waiter took the signal first.
    for (int i = 0; i < count; ++i) {
      if ((fds[i].revents & POLLIN) && events[i]->TryTake()) return i;
    }
    if (ready == 0 && wait == 0) return kWaitTimeout;
  }
}

}  // namespace platform
