#include "platform/system_clock.h"

#include <windows.h>

#include <cerrno>
#include <utility>

#include "platform/system_error.h"

namespace platform {
namespace {

// 1601-01-01 to 1970-01-01 in FILETIME ticks.
constexpr std::uint64_t kTicksFrom1601To1970 = 116444736000000000ULL;

ClockSetter& CurrentSetter() {
  static ClockSetter setter;  // empty: the real clock
  return setter;
}

// The fine clock, in ticks of 100 ns since 1601.
std::uint64_t NowTicks() {
  ::FILETIME now{};
  ::GetSystemTimePreciseAsFileTime(&now);
  return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

int SetRealClock(const SYSTEMTIME& st) {
  ::SYSTEMTIME time{};
  time.wYear = st.wYear;
  time.wMonth = st.wMonth;
  time.wDayOfWeek = st.wDayOfWeek;
  time.wDay = st.wDay;
  time.wHour = st.wHour;
  time.wMinute = st.wMinute;
  time.wSecond = st.wSecond;
  time.wMilliseconds = st.wMilliseconds;
  return ::SetSystemTime(&time) ? 0 : static_cast<int>(::GetLastError());
}

}  // namespace

void GetSystemTime(SYSTEMTIME& st) {
  const std::uint64_t ticks = NowTicks();
  FileTimeToSystemTime(FileTimeFromTicks(ticks - ticks % 10000), st);
}

std::int64_t GetSystemTimeNanoseconds() {
  return static_cast<std::int64_t>(NowTicks() - kTicksFrom1601To1970) * 100;
}

bool SetSystemTime(const SYSTEMTIME& st) {
  FILETIME ft{};
  if (!SystemTimeToFileTime(st, ft) || FileTimeTicks(ft) < kTicksFrom1601To1970) {
    errno = kErrorInvalidArgument;
    return false;
  }
  int error = 0;
  if (const ClockSetter& setter = CurrentSetter()) {
    const std::uint64_t sinceEpoch = FileTimeTicks(ft) - kTicksFrom1601To1970;
    timespec time{};
    time.tv_sec = static_cast<time_t>(sinceEpoch / kFileTimeTicksPerSecond);
    time.tv_nsec = static_cast<long>(sinceEpoch % kFileTimeTicksPerSecond * 100);
    error = setter(time);
  } else {
    error = SetRealClock(st);
  }
  if (error != 0) {
    errno = error;
    return false;
  }
  return true;
}

ClockOverride::ClockOverride(ClockSetter setter) : previous_(std::exchange(CurrentSetter(), std::move(setter))) {}

ClockOverride::~ClockOverride() { CurrentSetter() = std::move(previous_); }

}  // namespace platform
