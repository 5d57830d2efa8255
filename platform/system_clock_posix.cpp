#include "platform/system_clock.h"

#include <cerrno>
#include <utility>

namespace platform {
namespace {

// 1601-01-01 to 1970-01-01 in FILETIME ticks.
constexpr std::uint64_t kTicksFrom1601To1970 = 116444736000000000ULL;

ClockSetter& CurrentSetter() {
  static ClockSetter setter;  // empty: the real clock
  return setter;
}

int SetRealClock(const timespec& time) {
  return clock_settime(CLOCK_REALTIME, &time) == 0 ? 0 : errno;
}

}  // namespace

void GetSystemTime(SYSTEMTIME& st) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const std::uint64_t ticks = kTicksFrom1601To1970 + static_cast<std::uint64_t>(now.tv_sec) * kFileTimeTicksPerSecond +
                              static_cast<std::uint64_t>(now.tv_nsec) / 100;
  FileTimeToSystemTime(FileTimeFromTicks(ticks), st);
}

std::int64_t GetSystemTimeNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

bool SetSystemTime(const SYSTEMTIME& st) {
  FILETIME ft{};
  if (!SystemTimeToFileTime(st, ft) || FileTimeTicks(ft) < kTicksFrom1601To1970) {
    errno = EINVAL;
    return false;
  }
  const std::uint64_t sinceEpoch = FileTimeTicks(ft) - kTicksFrom1601To1970;
  timespec time{};
  time.tv_sec = static_cast<time_t>(sinceEpoch / kFileTimeTicksPerSecond);
  time.tv_nsec = static_cast<long>(sinceEpoch % kFileTimeTicksPerSecond * 100);
  const ClockSetter& setter = CurrentSetter();
  const int error = setter ? setter(time) : SetRealClock(time);
  if (error != 0) {
    errno = error;
    return false;
  }
  return true;
}

ClockOverride::ClockOverride(ClockSetter setter) : previous_(std::exchange(CurrentSetter(), std::move(setter))) {}

ClockOverride::~ClockOverride() { CurrentSetter() = std::move(previous_); }

}  // namespace platform
