// UTC in the two forms the program handles it: a calendar time with fields
// down to the millisecond (SYSTEMTIME), and a count of 100-nanosecond ticks
// since 1601-01-01 00:00:00 UTC (FILETIME).
#pragma once

#include <cstdint>

namespace platform {

struct SYSTEMTIME {
  std::uint16_t wYear;
  std::uint16_t wMonth;      // 1..12
  std::uint16_t wDayOfWeek;  // 0 = Sunday
  std::uint16_t wDay;        // 1..31
  std::uint16_t wHour;
  std::uint16_t wMinute;
  std::uint16_t wSecond;
  std::uint16_t wMilliseconds;
};

struct FILETIME {
  std::uint32_t dwLowDateTime;
  std::uint32_t dwHighDateTime;
};

inline constexpr std::uint64_t kFileTimeTicksPerSecond = 10000000;
inline constexpr std::int64_t kNanosecondsPerSecond = 1000000000;

// The whole seconds of a count of nanoseconds, rounded down (toward the past
// for a time before the epoch or a negative offset).
inline std::int64_t FloorSeconds(std::int64_t ns) {
  return ns / kNanosecondsPerSecond - (ns % kNanosecondsPerSecond < 0 ? 1 : 0);
}

inline std::uint64_t FileTimeTicks(const FILETIME& ft) {
  return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
inline FILETIME FileTimeFromTicks(std::uint64_t ticks) {
  return FILETIME{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

// False, leaving fileTime alone, when a field is out of range: year
// 1601..30827, month 1..12, a day that exists in that month, hour < 24,
// minute < 60, second < 60, milliseconds < 1000. wDayOfWeek is not read.
bool SystemTimeToFileTime(const SYSTEMTIME& systemTime, FILETIME& fileTime);

// Drops the ticks below one millisecond and fills in wDayOfWeek. False,
// leaving systemTime alone, for a tick count above 0x7FFFFFFFFFFFFFFF.
bool FileTimeToSystemTime(const FILETIME& fileTime, SYSTEMTIME& systemTime);

}  // namespace platform
