// The time the transmitter sends: the system clock moved by a fixed offset
// (a time server's, a user's). Both what each frame carries and where each
// second begins follow it, so the offset is applied here and nowhere else.
#pragma once

#include <cmath>
#include <cstdint>

#include "platform/local_time.h"

// An offset in seconds as the time base takes it: false for one that is
// not a number or that moves the clock by more than two centuries (a clock
// that far off is broken, not slow), which nanoseconds could not hold.
inline bool OffsetNanoseconds(double seconds, std::int64_t& ns) {
  constexpr double kMaxSeconds = 200.0 * 366 * 86400;
  if (!std::isfinite(seconds) || std::fabs(seconds) > kMaxSeconds) return false;
  ns = std::llround(seconds * static_cast<double>(platform::kNanosecondsPerSecond));
  return true;
}

class TimeBase {
 public:
  TimeBase(const platform::Clock& clock, std::int64_t offsetNs) : clock_(&clock), offsetNs_(offsetNs) {}

  // The whole second of the moved time now; unmoved, the clock's own.
  platform::Time64 Now() const {
    if (offsetNs_ == 0) return clock_->Now();
    const std::int64_t ns = clock_->NowNanoseconds() + offsetNs_;
    return platform::FloorSeconds(ns);
  }

  // The system clock's reading, in nanoseconds since the epoch, when the
  // moved time enters that second.
  std::int64_t SystemNanosecondsAt(platform::Time64 second) const { return second * platform::kNanosecondsPerSecond - offsetNs_; }

 private:
  const platform::Clock* clock_;
  std::int64_t offsetNs_;
};
