#include "signal/stations/summer_time.h"

#include <chrono>

namespace {

using namespace std::chrono;

constexpr platform::Time64 kHour = 3600;

sys_days UtcDay(platform::Time64 utc) { return floor<days>(sys_seconds{seconds{utc}}); }

platform::Time64 At(sys_days day, platform::Time64 hour) {
  return duration_cast<seconds>(day.time_since_epoch()).count() + hour * kHour;
}

// The EU's changes of year y: begin and end of summer time.
platform::Time64 EuStart(year y) { return At(sys_days{y / March / Sunday[last]}, 1); }
platform::Time64 EuEnd(year y) { return At(sys_days{y / October / Sunday[last]}, 1); }

// Whether DST is in effect at the end (24:00 UTC) of that UTC day: the US
// changes come at 02:00 local time, after the day's 00:00 UTC everywhere in
// the country, so the day of the start counts as DST and the day of the end
// does not.
bool UsDstAtEndOf(sys_days day) {
  const year y = year_month_day{day}.year();
  const bool since2007 = y >= year{2007};
  const sys_days start = since2007 ? sys_days{y / March / Sunday[2]} : sys_days{y / April / Sunday[1]};
  const sys_days end = since2007 ? sys_days{y / November / Sunday[1]} : sys_days{y / October / Sunday[last]};
  return start <= day && day < end;
}

}  // namespace

bool InEuSummerTime(platform::Time64 utc) {
  const year y = year_month_day{UtcDay(utc)}.year();
  return EuStart(y) <= utc && utc < EuEnd(y);
}

bool EuChangeWithin(platform::Time64 after, platform::Time64 upTo) {
  const year last = year_month_day{UtcDay(upTo)}.year();
  for (year y = year_month_day{UtcDay(after)}.year(); y <= last; ++y) {
    for (platform::Time64 change : {EuStart(y), EuEnd(y)}) {
      if (after < change && change <= upTo) return true;
    }
  }
  return false;
}

WwvbDstBits WwvbDstBitsFor(platform::Time64 utc) {
  const sys_days day = UtcDay(utc);
  return {UsDstAtEndOf(day), UsDstAtEndOf(day - days{1})};
}
