#include "signal/stations/civil_time.h"

#include <chrono>

CivilTime CivilTimeAt(platform::Time64 utc, int offsetHours) {
  using namespace std::chrono;
  const sys_seconds t{seconds{utc + offsetHours * 3600LL}};
  const sys_days day = floor<days>(t);
  const year_month_day date{day};
  const auto secondOfDay = (t - day).count();
  CivilTime c;
  c.year = static_cast<int>(date.year());
  c.month = static_cast<unsigned>(date.month());
  c.day = static_cast<unsigned>(date.day());
  c.weekday = weekday{day}.c_encoding();
  c.dayOfYear = static_cast<unsigned>((day - sys_days{date.year() / January / 1}).count() + 1);
  c.hour = static_cast<unsigned>(secondOfDay / 3600);
  c.minute = static_cast<unsigned>(secondOfDay / 60 % 60);
  return c;
}
