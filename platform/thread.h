// Threads (CreateThread on Windows): one routine per thread, started at
// once, with a bounded wait for its end.
#pragma once

#include <functional>
#include <thread>

#include "platform/event.h"

namespace platform {

class Thread {
 public:
  Thread() = default;
  // Joins a thread that is still attached (see Detach).
  ~Thread();
  Thread(Thread&&) = delete;
  Thread& operator=(Thread&&) = delete;

  // Starts the routine on a new thread; false when one is already attached
  // or the system refused the thread.
  bool Start(std::function<void()> routine);
  bool IsRunning() const { return thread_.joinable(); }

  // Waits at most timeoutMs (kInfinite: no limit) for the routine to end;
  // true once it has ended and the thread is joined.
  bool Join(int timeoutMs);
  // Gives up on a thread that did not end: it runs on unattached.
  void Detach();

 private:
  std::thread thread_;
  EventHandle ended_;
};

}  // namespace platform
