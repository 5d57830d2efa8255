// Local wall-clock times as the command line gives them: read from
// "YYYY-MM-DD HH:MM:SS", stepped in whole seconds on the civil calendar,
// taken apart into the fields the BPC encoder wants, or placed on the
// system clock through the computer's time zone.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/local_time.h"

namespace cli {

struct CivilFields {
  int year;
  int month;    // 1..12
  int day;      // 1..31
  int weekday;  // 1 = Sunday ... 7 = Saturday
  int hour;
  int minute;
  int second;
};

// False unless text is exactly "YYYY-MM-DD HH:MM:SS" naming a real date
// and a time of day from 00:00:00 to 23:59:59.
bool ParseCivilTime(std::string_view text, std::chrono::local_seconds& out);

CivilFields BreakDown(std::chrono::local_seconds time);

// The instant that the computer's clock shows as that local time, moved by
// offsetSeconds. On failure the one-line reason, naming text (the time as
// given): a time its time zone skips (the hour a summer-time change leaves
// out), or an instant before 1970-01-01 00:00 UTC, where the calendar of
// every system the program runs on begins. Empty on success.
std::string PlaceLocalTime(std::chrono::local_seconds time, std::int64_t offsetSeconds, std::string_view text,
                           platform::Time64& out);

}  // namespace cli
