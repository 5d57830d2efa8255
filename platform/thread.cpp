#include "platform/thread.h"

#include <system_error>
#include <utility>

namespace platform {

Thread::~Thread() {
  if (thread_.joinable()) thread_.join();
}

bool Thread::Start(std::function<void()> routine) {
  if (thread_.joinable()) return false;
  ended_ = CreateEvent();
  if (!ended_) return false;
  try {
    // The thread holds its own reference to the end event, so a detached
    // thread never signals a destroyed one.
    thread_ = std::thread([routine = std::move(routine), ended = ended_] {
      routine();
      ended->Set();
    });
  } catch (const std::system_error&) {
    ended_.reset();
    return false;
  }
  return true;
}

bool Thread::Join(int timeoutMs) {
  if (!thread_.joinable()) return true;
  if (WaitForEvent(*ended_, timeoutMs) != 0) return false;
  thread_.join();
  ended_.reset();
  return true;
}

void Thread::Detach() {
  if (thread_.joinable()) thread_.detach();
  ended_.reset();
}

}  // namespace platform
