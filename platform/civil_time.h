// The fields of a time on the civil calendar: the program's one calendar
// type, whichever clock the time was read from (the computer's zone, a
// station's country, a decoded frame).
#pragma once

#include <cstdint>

namespace platform {

struct CivilTime {
  int year = 0;
  int month = 0;      // 1..12
  int day = 0;        // 1..31
  int weekday = 0;    // 1 = Sunday ... 7 = Saturday; 0 where none is known
  int dayOfYear = 0;  // 1 = 1 January
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The fields of a count of seconds since 1970-01-01 00:00 on a clock that
// keeps no summer time: UTC, or UTC moved by a fixed offset.
CivilTime CivilTimeOf(std::int64_t seconds);

}  // namespace platform
