#include "platform/time_service.h"

namespace platform {

// Windows has no such service: the program runs with an administrator's
// rights (its manifest asks for them when it starts), and a process without
// the privilege is told so by the clock call itself.
bool SetTimeThroughService(std::int64_t, bool, std::string& reason) {
  reason.clear();
  return false;
}

void SetTimeServiceWaitHook(std::function<void()>) {}

}  // namespace platform
