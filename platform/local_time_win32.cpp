#include <windows.h>

#include <chrono>
#include <cstdint>
#include <ctime>

#include "platform/local_time_system.h"
#include "platform/time_zone.h"

// The C runtime's 64-bit time functions where TZ is in the runtime's own
// form; otherwise the system's time zone, which the runtime would only
// take with TZ unset.
namespace platform {

Time64 CurrentTime() { return static_cast<Time64>(::_time64(nullptr)); }

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;  // FILETIME counts 100 ns
constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;
// The runtime's range, kept alike: 1970 to the end of 3000, UTC.
constexpr Time64 kLatest = 32535215999;

// Seconds since 1970, UTC or local, as fields; false more than a day
// outside the range.
bool SystemTimeAt(std::int64_t seconds, ::SYSTEMTIME& st) {
  if (seconds < -kTicksFrom1601To1970 / kTicksPerSecond || seconds > kLatest + 86400) return false;
  const auto ticks = static_cast<std::uint64_t>(seconds * kTicksPerSecond + kTicksFrom1601To1970);
  const ::FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  return ::FileTimeToSystemTime(&ft, &st) != FALSE;
}

bool SecondsOf(const ::SYSTEMTIME& st, std::int64_t& seconds) {
  ::FILETIME ft{};
  if (!::SystemTimeToFileTime(&st, &ft)) return false;
  const std::int64_t ticks = static_cast<std::int64_t>((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) |
                                                       ft.dwLowDateTime);
  seconds = (ticks - kTicksFrom1601To1970) / kTicksPerSecond;  // whole seconds: no remainder
  return true;
}

// The system zone's rules of one year: they may change from year to year.
bool ZoneOfYear(WORD year, ::TIME_ZONE_INFORMATION& zone) {
  return ::GetTimeZoneInformationForYear(year, nullptr, &zone) != FALSE;
}

// Civil fields of a count of seconds (local or UTC) since 1970, as the
// runtime would give them.
void Fields(std::int64_t seconds, std::tm& tm) {
  const CivilTime c = CivilTimeOf(seconds);
  tm = {};
  tm.tm_year = c.year - 1900;
  tm.tm_mon = c.month - 1;
  tm.tm_mday = c.day;
  tm.tm_wday = c.weekday - 1;
  tm.tm_yday = c.dayOfYear - 1;
  tm.tm_hour = c.hour;
  tm.tm_min = c.minute;
  tm.tm_sec = c.second;
}

bool ZoneLocalTime(Time64 t, std::tm& tm) {
  if (t < 0 || t > kLatest) return false;
  ::SYSTEMTIME utc{}, local{};
  ::TIME_ZONE_INFORMATION zone{};
  if (!SystemTimeAt(t, utc) || !ZoneOfYear(utc.wYear, zone) ||
      !::SystemTimeToTzSpecificLocalTime(&zone, &utc, &local)) {
    return false;
  }
  // Around New Year the rules of the local year hold.
  if (local.wYear != utc.wYear &&
      (!ZoneOfYear(local.wYear, zone) || !::SystemTimeToTzSpecificLocalTime(&zone, &utc, &local))) {
    return false;
  }
  std::int64_t seconds = 0;
  if (!SecondsOf(local, seconds)) return false;
  Fields(seconds, tm);
  return true;
}

bool ZoneMakeTime(const std::tm& tm, Time64& out) {
  using namespace std::chrono;
  // Fields past their month's end roll over, as with mktime.
  const sys_days first{year{tm.tm_year + 1900} / month{static_cast<unsigned>(tm.tm_mon + 1)} / day{1}};
  const sys_seconds named = first + days{tm.tm_mday - 1} + hours{tm.tm_hour} + minutes{tm.tm_min} + seconds{tm.tm_sec};
  ::SYSTEMTIME local{}, utc{};
  ::TIME_ZONE_INFORMATION zone{};
  std::int64_t t = 0;
  if (!SystemTimeAt(named.time_since_epoch().count(), local) || !ZoneOfYear(local.wYear, zone) ||
      !::TzSpecificLocalTimeToSystemTime(&zone, &local, &utc) || !SecondsOf(utc, t) || t < 0 || t > kLatest) {
    return false;
  }
  out = t;
  return true;
}

}  // namespace

namespace detail {

bool SystemLocalTime(Time64 t, std::tm& tm) {
  if (TimeZoneVariable() != ZoneVariable::Read) return ZoneLocalTime(t, tm);
  const __time64_t tt = static_cast<__time64_t>(t);
  return ::_localtime64_s(&tm, &tt) == 0;
}

bool SystemMakeTime(std::tm& tm, Time64& out) {
  if (TimeZoneVariable() != ZoneVariable::Read) return ZoneMakeTime(tm, out);
  const __time64_t t = ::_mktime64(&tm);
  if (t == static_cast<__time64_t>(-1)) return false;
  out = static_cast<Time64>(t);
  return true;
}

}  // namespace detail
}  // namespace platform
