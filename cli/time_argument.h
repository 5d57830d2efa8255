// Local wall-clock times as the command line gives them: read from
// "YYYY-MM-DD HH:MM:SS", stepped in whole seconds on the civil calendar,
// and placed on the system clock through the computer's time zone.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/local_time.h"

namespace cli {

// False unless text is exactly "YYYY-MM-DD HH:MM:SS" naming a real date
// and a time of day from 00:00:00 to 23:59:59.
bool ParseCivilTime(std::string_view text, std::chrono::local_seconds& out);

// The instant that the computer's clock shows as that local time, moved by
// offsetSeconds. On failure the one-line reason, naming text (the time as
// given): a time its time zone skips (the hour a summer-time change leaves
// out), or an instant before 1970-01-01 00:00 UTC, where the calendar of
// every system the program runs on begins. Empty on success.
std::string PlaceLocalTime(std::chrono::local_seconds time, std::int64_t offsetSeconds, std::string_view text,
                           platform::Time64& out);

}  // namespace cli
