#include <ctime>

#include "platform/local_time_system.h"

// The C runtime's 64-bit time functions, as the program has them on Windows.
namespace platform {

Time64 CurrentTime() { return static_cast<Time64>(::_time64(nullptr)); }

namespace detail {

bool SystemLocalTime(Time64 t, std::tm& tm) {
  const __time64_t tt = static_cast<__time64_t>(t);
  return ::_localtime64_s(&tm, &tt) == 0;
}

bool SystemMakeTime(std::tm& tm, Time64& out) {
  const __time64_t t = ::_mktime64(&tm);
  if (t == static_cast<__time64_t>(-1)) return false;
  out = static_cast<Time64>(t);
  return true;
}

}  // namespace detail
}  // namespace platform
