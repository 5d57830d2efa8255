// The system clock in UTC: read to the millisecond or at its full resolution,
// and set (CLOCK_REALTIME; on Windows GetSystemTimePreciseAsFileTime and
// SetSystemTime). Setting goes through a replaceable clock so that tests never move
// the machine's clock.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>

#include "platform/system_time.h"

namespace platform {

// The current UTC time (CLOCK_REALTIME), milliseconds truncated.
void GetSystemTime(SYSTEMTIME& systemTime);

// The current UTC time (CLOCK_REALTIME) at the clock's resolution, in
// nanoseconds since 1970-01-01 00:00:00 UTC.
std::int64_t GetSystemTimeNanoseconds();

// Sets the clock. False with errno set: EINVAL for a time that does not
// convert, EPERM when CAP_SYS_TIME is not in the effective set (on Windows
// ERROR_INVALID_PARAMETER, and the clock call's own code such as
// ERROR_PRIVILEGE_NOT_HELD).
bool SetSystemTime(const SYSTEMTIME& systemTime);

// Stands in for clock_settime(CLOCK_REALTIME, ...): 0, or an errno value.
using ClockSetter = std::function<int(const timespec& time)>;

// While it lives, SetSystemTime hands the time to the given setter instead of
// the real clock. Install it on the thread that sets the clock; not nestable
// across threads.
class ClockOverride {
 public:
  explicit ClockOverride(ClockSetter setter);
  ~ClockOverride();
  ClockOverride(const ClockOverride&) = delete;
  ClockOverride& operator=(const ClockOverride&) = delete;

 private:
  ClockSetter previous_;
};

}  // namespace platform
