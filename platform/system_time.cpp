#include "platform/system_time.h"

#include <chrono>

namespace platform {
namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr sys_days kFileTimeOrigin = std::chrono::year{1601} / 1 / 1;
constexpr std::uint64_t kTicksPerMillisecond = 10000;
constexpr std::uint64_t kTicksPerDay = 86400ULL * kFileTimeTicksPerSecond;

}  // namespace

bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME& ft) {
  if (st.wYear < 1601 || st.wYear > 30827 || st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 ||
      st.wMilliseconds > 999 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 || st.wDay > 31) {
    return false;
  }
  // month and day keep only a byte of their argument, so the ranges above come first.
  const year_month_day date{std::chrono::year{st.wYear}, std::chrono::month{st.wMonth}, std::chrono::day{st.wDay}};
  if (!date.ok()) return false;  // 31 April, 29 February of a common year
  const auto dayCount = static_cast<std::uint64_t>((sys_days{date} - kFileTimeOrigin).count());
  const std::uint64_t seconds = st.wHour * 3600ULL + st.wMinute * 60ULL + st.wSecond;
  ft = FileTimeFromTicks(dayCount * kTicksPerDay + seconds * kFileTimeTicksPerSecond +
                         st.wMilliseconds * kTicksPerMillisecond);
  return true;
}

bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME& st) {
  const std::uint64_t ticks = FileTimeTicks(ft);
  if (ticks > 0x7FFFFFFFFFFFFFFFULL) return false;
  const sys_days day = kFileTimeOrigin + days{static_cast<long long>(ticks / kTicksPerDay)};
  const year_month_day date{day};
  const std::uint64_t inDay = ticks % kTicksPerDay;
  const std::uint64_t secondOfDay = inDay / kFileTimeTicksPerSecond;
  st.wYear = static_cast<std::uint16_t>(static_cast<int>(date.year()));
  st.wMonth = static_cast<std::uint16_t>(static_cast<unsigned>(date.month()));
  st.wDay = static_cast<std::uint16_t>(static_cast<unsigned>(date.day()));
  st.wDayOfWeek = static_cast<std::uint16_t>(std::chrono::weekday{day}.c_encoding());
  st.wHour = static_cast<std::uint16_t>(secondOfDay / 3600);
  st.wMinute = static_cast<std::uint16_t>(secondOfDay / 60 % 60);
  st.wSecond = static_cast<std::uint16_t>(secondOfDay % 60);
  st.wMilliseconds = static_cast<std::uint16_t>(inDay % kFileTimeTicksPerSecond / kTicksPerMillisecond);
  return true;
}

}  // namespace platform
