#include <ctime>
#include <limits>

#include "platform/local_time_system.h"

namespace platform {

Time64 CurrentTime() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<Time64>(now.tv_sec);
}

namespace detail {

bool SystemLocalTime(Time64 t, std::tm& tm) {
  if (t < std::numeric_limits<std::time_t>::min() || t > std::numeric_limits<std::time_t>::max()) return false;
  const std::time_t tt = static_cast<std::time_t>(t);
  return ::localtime_r(&tt, &tm) != nullptr;
}

bool SystemMakeTime(std::tm& tm, Time64& out) {
  const std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return false;
  out = static_cast<Time64>(t);
  return true;
}

}  // namespace detail
}  // namespace platform
