// Auto-reset events and a wait over several of them (what the kernel's
// events and WaitForMultipleObjects give on Windows): over eventfd and poll,
// and on Windows those very services.
#pragma once

#include <memory>

namespace platform {

// Unnamed, auto-reset, initially not signalled. A signal stays until one
// wait takes it; setting an already signalled event changes nothing.
// Set is safe from any thread and from a signal handler.
class Event {
 public:
  Event();
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  // False when the kernel refused the event (out of descriptors).
  bool IsValid() const;
  void Set() const;
  // Drops a pending signal.
  void Reset() const;
  // Takes the signal if there is one; true when it was taken.
  bool TryTake() const;
#ifdef _WIN32
  // The kernel event object (a HANDLE).
  void* handle() const { return handle_; }

 private:
  void* handle_;
#else
  int fd() const { return fd_; }

 private:
  int fd_;
#endif
};

// Shared ownership lets a thread that was given up on at shutdown keep its
// events alive until it ends.
using EventHandle = std::shared_ptr<Event>;

// A new event, or null when none could be made.
EventHandle CreateEvent();

inline constexpr int kInfinite = -1;
inline constexpr int kWaitTimeout = -1;
inline constexpr int kWaitFailed = -2;

// Waits until one of the events is signalled or timeoutMs (kInfinite: no
// limit) have passed. Returns the index of the earliest signalled event in
// the order given, having taken its signal (the others keep theirs), or
// kWaitTimeout, or kWaitFailed for a null or invalid event.
int WaitForEvents(const Event* const* events, int count, int timeoutMs);

inline int WaitForEvent(const Event& event, int timeoutMs) {
  const Event* one[] = {&event};
  return WaitForEvents(one, 1, timeoutMs);
}

}  // namespace platform
