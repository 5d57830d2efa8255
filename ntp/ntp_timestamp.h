// NTP time: seconds since 1900-01-01 00:00:00 UTC in the upper 32 bits and
// the fraction of a second in the lower 32, the fraction f standing for
// f / 4294967295 s (so 0xFFFFFFFF is exactly one second).
//
// Only the low 32 bits of the seconds travel on the wire, so a value names a
// time in one of two eras: seconds from 2^31 up are 1968-01-20 to
// 2036-02-07 06:28:15 (era 0, counted from 1900); seconds below 2^31 are
// 2036-02-07 06:28:16 to 2104 (era 1, counted from 2036-02-07 06:28:16).
#pragma once

#include <cstdint>

#include "platform/system_time.h"

inline constexpr double kNtpFractionScale = 4294967295.0;

// FILETIME counts 100 ns ticks from 1601-01-01; NTP counts from 1900-01-01.
inline constexpr std::uint64_t kFileTimeTicksPerSecond = 10000000;
inline constexpr std::uint64_t kSecondsFrom1601To1900 = 9435484800ULL;  // 109207 days
inline constexpr std::uint64_t kTicksFrom1601To1900 = 94354848000000000ULL;
// The same amount in two's complement: adding it subtracts the offset.
inline constexpr std::uint64_t kTicksFrom1601To1900Negated = 0xFEB0C8C4021FC000ULL;
static_assert(kTicksFrom1601To1900 == kSecondsFrom1601To1900 * kFileTimeTicksPerSecond);
static_assert(kTicksFrom1601To1900 + kTicksFrom1601To1900Negated == 0);

class NtpTimestamp {
 public:
  constexpr NtpTimestamp() = default;
  constexpr explicit NtpTimestamp(std::uint64_t value) : m_value(value) {}

  constexpr std::uint64_t Value() const { return m_value; }
  void Clear() { m_value = 0; }
  constexpr std::uint32_t Seconds() const { return static_cast<std::uint32_t>(m_value >> 32); }
  constexpr std::uint32_t Fraction() const { return static_cast<std::uint32_t>(m_value); }

  // The wire form: 32-bit seconds then 32-bit fraction, both big-endian.
  void FromNetwork(const unsigned char bytes[8]);
  void ToNetwork(unsigned char bytes[8]) const;

  // A UTC calendar time to the millisecond; 0 when it does not convert.
  void FromSystemTime(const platform::SYSTEMTIME& systemTime);
  // The UTC calendar time, to the millisecond, read in the era rule above.
  platform::SYSTEMTIME ToSystemTime() const;

  // A UTC time counted in nanoseconds from 1970-01-01 00:00:00, the
  // fraction rounded to the nearest unit.
  static NtpTimestamp FromUnixNanoseconds(std::int64_t nanoseconds);

  // The current UTC time at the system clock's full resolution: a time cut
  // to the millisecond would skew offset and delay by up to a millisecond and
  // make our transmit time, echoed back as the originate, easy to guess.
  static NtpTimestamp Now();

  // this - other in seconds. The difference is taken modulo 2^64 and read as
  // signed, so it is right across the era boundary for times less than 68
  // years apart.
  double SecondsSince(const NtpTimestamp& other) const;

  // This value moved by seconds (either sign), modulo 2^64; a value that is
  // not a finite number leaves it unchanged.
  NtpTimestamp AddSeconds(double seconds) const;

  static std::uint32_t MillisecondsToFraction(std::uint16_t milliseconds);
  static double FractionToSeconds(std::uint32_t fraction);

  friend constexpr bool operator==(const NtpTimestamp&, const NtpTimestamp&) = default;

 private:
  std::uint64_t m_value = 0;
};
