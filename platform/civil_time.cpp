#include "platform/civil_time.h"

#include <chrono>

namespace platform {

CivilTime CivilTimeOf(std::int64_t seconds) {
  using namespace std::chrono;
  const sys_seconds t{std::chrono::seconds{seconds}};
  const sys_days day = floor<days>(t);
  const year_month_day date{day};
  const hh_mm_ss clock{t - day};
  CivilTime c;
  c.year = static_cast<int>(date.year());
  c.month = static_cast<int>(static_cast<unsigned>(date.month()));
  c.day = static_cast<int>(static_cast<unsigned>(date.day()));
  c.weekday = static_cast<int>(weekday{day}.c_encoding()) + 1;
  c.dayOfYear = static_cast<int>((day - sys_days{date.year() / January / 1}).count()) + 1;
  c.hour = static_cast<int>(clock.hours().count());
  c.minute = static_cast<int>(clock.minutes().count());
  c.second = static_cast<int>(clock.seconds().count());
  return c;
}

}  // namespace platform
