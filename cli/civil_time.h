// Local wall-clock times as the command line gives them: read from
// "YYYY-MM-DD HH:MM:SS", stepped in whole seconds on the civil calendar,
// and taken apart into the fields the BPC encoder wants.
#pragma once

#include <chrono>
#include <string_view>

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

}  // namespace cli
