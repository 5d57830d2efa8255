#include "ntp/ntp_timestamp.h"

#include <cmath>

#include "platform/system_clock.h"

namespace {

constexpr std::uint32_t kEraBoundarySeconds = 0x80000000U;  // below it: era 1
constexpr std::uint64_t kEraSeconds = 1ULL << 32;
constexpr std::uint64_t kSecondsFrom1900To1970 = 2208988800ULL;  // 25567 days

std::uint32_t ReadBigEndian32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

void WriteBigEndian32(std::uint32_t v, unsigned char* p) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}

// |seconds| as 32.32 fixed point modulo 2^64.
std::uint64_t FixedPointMagnitude(double seconds) {
  double whole = 0.0;
  const double part = std::modf(std::fabs(seconds), &whole);
  // Only the low 32 bits of the whole seconds survive the shift; reducing
  // first keeps the conversion to an integer defined for any finite value.
  const auto wholeBits = static_cast<std::uint64_t>(std::fmod(whole, 4294967296.0));
  return (wholeBits << 32) + static_cast<std::uint64_t>(part * kNtpFractionScale);
}

}  // namespace

void NtpTimestamp::FromNetwork(const unsigned char bytes[8]) {
  m_value = static_cast<std::uint64_t>(ReadBigEndian32(bytes)) << 32 | ReadBigEndian32(bytes + 4);
}

void NtpTimestamp::ToNetwork(unsigned char bytes[8]) const {
  WriteBigEndian32(Seconds(), bytes);
  WriteBigEndian32(Fraction(), bytes + 4);
}

void NtpTimestamp::FromSystemTime(const platform::SYSTEMTIME& st) {
  platform::FILETIME ft{};
  if (!platform::SystemTimeToFileTime(st, ft)) {
    m_value = 0;
    return;
  }
  const std::uint64_t seconds = (platform::FileTimeTicks(ft) + kTicksFrom1601To1900Negated) / kFileTimeTicksPerSecond;
  // Shifting keeps the low 32 bits of the seconds: the wire form.
  m_value = (seconds << 32) + MillisecondsToFraction(st.wMilliseconds);
}

platform::SYSTEMTIME NtpTimestamp::ToSystemTime() const {
  const auto subSecondTicks = static_cast<std::uint64_t>(Fraction() * 10000000.0 / kNtpFractionScale);
  std::uint64_t seconds = Seconds();
  if (seconds < kEraBoundarySeconds) seconds += kEraSeconds;
  const std::uint64_t ticks = (seconds + kSecondsFrom1601To1900) * kFileTimeTicksPerSecond + subSecondTicks;
  platform::SYSTEMTIME st{};
  platform::FileTimeToSystemTime(platform::FileTimeFromTicks(ticks), st);
  return st;
}

NtpTimestamp NtpTimestamp::FromUnixNanoseconds(std::int64_t nanoseconds) {
  using platform::kNanosecondsPerSecond;
  const std::int64_t seconds = platform::FloorSeconds(nanoseconds);
  // The remainder, not nanoseconds - seconds * 1e9, which overflows near the ends of the range.
  const std::int64_t rest = (nanoseconds % kNanosecondsPerSecond + kNanosecondsPerSecond) % kNanosecondsPerSecond;
  const std::uint64_t fraction = (static_cast<std::uint64_t>(rest) * 4294967295ULL + kNanosecondsPerSecond / 2) /
                                 static_cast<std::uint64_t>(kNanosecondsPerSecond);
  // Shifting keeps the low 32 bits of the seconds: the wire form.
  const auto ntpSeconds = static_cast<std::uint64_t>(seconds) + kSecondsFrom1900To1970;
  return NtpTimestamp((ntpSeconds << 32) + fraction);
}

NtpTimestamp NtpTimestamp::Now() { return FromUnixNanoseconds(platform::GetSystemTimeNanoseconds()); }

double NtpTimestamp::SecondsSince(const NtpTimestamp& other) const {
  const std::uint64_t difference = m_value - other.m_value;
  const bool negative = (difference >> 63) != 0;
  const std::uint64_t magnitude = negative ? 0 - difference : difference;
  const double seconds = static_cast<double>(magnitude >> 32) + FractionToSeconds(static_cast<std::uint32_t>(magnitude));
  return negative ? -seconds : seconds;
}

NtpTimestamp NtpTimestamp::AddSeconds(double seconds) const {
  if (!std::isfinite(seconds)) return *this;
  const std::uint64_t amount = FixedPointMagnitude(seconds);
  return NtpTimestamp(seconds >= 0 ? m_value + amount : m_value - amount);
}

std::uint32_t NtpTimestamp::MillisecondsToFraction(std::uint16_t milliseconds) {
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(milliseconds / 1000.0 * kNtpFractionScale + 0.5));
}

double NtpTimestamp::FractionToSeconds(std::uint32_t fraction) { return fraction / kNtpFractionScale; }
