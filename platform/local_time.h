// Local calendar time (the 64-bit time functions of the Windows runtime):
// a time value is a signed 64-bit count of seconds since the Unix epoch,
// converted to and from the local broken-down time of the process's zone.
#pragma once

#include <cstdint>

#include "platform/civil_time.h"
#include "platform/system_clock.h"

namespace platform {

using Time64 = std::int64_t;

// The current time.
Time64 CurrentTime();

// The local fields of t. When the conversion fails (t before 1970-01-01
// 00:00 UTC, where the calendar begins on every system, or beyond what it
// can hold) hour, minute and second are -1 and the rest 0.
CivilTime ToLocalTime(Time64 t);

// The time value of local fields (daylight saving decided by the zone
// rules). False for a year below 1900, a month outside 1..12, a day outside
// 1..31, an hour above 23, a minute or second above 59, and a result before
// 1970-01-01 00:00 UTC.
bool BuildLocalTime(int year, int month, int day, int hour, int minute, int second, Time64& out);

constexpr Time64 TimeSpan(Time64 days, Time64 hours, Time64 minutes, Time64 seconds) {
  return ((days * 24 + hours) * 60 + minutes) * 60 + seconds;
}

// Where the current time comes from, so that timing can be driven from a
// test; the system clock otherwise.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual Time64 Now() const = 0;
  // The same time in nanoseconds since the epoch, for what must fall
  // within a second; a clock that counts whole seconds gives their start.
  virtual std::int64_t NowNanoseconds() const { return Now() * kNanosecondsPerSecond; }
};

class SystemClock final : public Clock {
 public:
  Time64 Now() const override { return CurrentTime(); }
  std::int64_t NowNanoseconds() const override { return GetSystemTimeNanoseconds(); }
};

}  // namespace platform
