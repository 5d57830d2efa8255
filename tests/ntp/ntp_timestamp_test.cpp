#include "ntp/ntp_timestamp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <limits>

namespace {

using platform::SYSTEMTIME;

SYSTEMTIME Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0) {
  SYSTEMTIME st{};
  st.wYear = static_cast<std::uint16_t>(year);
  st.wMonth = static_cast<std::uint16_t>(month);
  st.wDay = static_cast<std::uint16_t>(day);
  st.wHour = static_cast<std::uint16_t>(hour);
  st.wMinute = static_cast<std::uint16_t>(minute);
  st.wSecond = static_cast<std::uint16_t>(second);
  st.wMilliseconds = static_cast<std::uint16_t>(ms);
  return st;
}

NtpTimestamp From(const SYSTEMTIME& st) {
  NtpTimestamp t(0x1234);  // must be overwritten, also by a failure
  t.FromSystemTime(st);
  return t;
}

void ExpectSameTime(const SYSTEMTIME& expected, const SYSTEMTIME& actual) {
  EXPECT_EQ(actual.wYear, expected.wYear);
  EXPECT_EQ(actual.wMonth, expected.wMonth);
  EXPECT_EQ(actual.wDay, expected.wDay);
  EXPECT_EQ(actual.wHour, expected.wHour);
  EXPECT_EQ(actual.wMinute, expected.wMinute);
  EXPECT_EQ(actual.wSecond, expected.wSecond);
  EXPECT_EQ(actual.wMilliseconds, expected.wMilliseconds);
}

TEST(NtpTimestampTest, FractionScaleIsTwoToTheThirtyTwoMinusOne) {
  EXPECT_EQ(NtpTimestamp::MillisecondsToFraction(0), 0u);
  EXPECT_EQ(NtpTimestamp::MillisecondsToFraction(1), 4294967u);
  EXPECT_EQ(NtpTimestamp::MillisecondsToFraction(500), 0x80000000u);  // the half rounds up
  EXPECT_EQ(NtpTimestamp::MillisecondsToFraction(999), 4290672328u);
  EXPECT_DOUBLE_EQ(NtpTimestamp::FractionToSeconds(0x80000000u), 0.50000000011641532);
  EXPECT_EQ(NtpTimestamp::FractionToSeconds(0xFFFFFFFFu), 1.0);
}

TEST(NtpTimestampTest, FromSystemTimeCountsSecondsFrom1900AndFractionFromMilliseconds) {
  const NtpTimestamp midnight = From(Utc(2017, 3, 8));
  EXPECT_EQ(midnight.Seconds(), 3697920000u);
  EXPECT_EQ(midnight.Seconds(), 0xDC69C800u);
  EXPECT_EQ(midnight.Fraction(), 0u);
  EXPECT_EQ(From(Utc(2017, 3, 8, 0, 0, 0, 500)).Value(), 0xDC69C80080000000ULL);
  EXPECT_EQ(From(Utc(1970, 1, 1)).Seconds(), 2208988800u);
}

TEST(NtpTimestampTest, TimeThatDoesNotConvertGivesZero) {
  EXPECT_EQ(From(Utc(2017, 2, 29)).Value(), 0u);
  EXPECT_EQ(From(Utc(2017, 3, 8, 24)).Value(), 0u);
  EXPECT_EQ(From(Utc(2017, 3, 8, 0, 0, 0, 1000)).Value(), 0u);
  NtpTimestamp t(5);
  t.Clear();
  EXPECT_EQ(t.Value(), 0u);
}

TEST(NtpTimestampTest, AddSecondsMovesACopyEitherWay) {
  const NtpTimestamp base(0xDC69C80000000000ULL);
  EXPECT_EQ(base.AddSeconds(1.5).Value(), 0xDC69C8017FFFFFFFULL);
  EXPECT_EQ(base.AddSeconds(-0.25).Value(), 0xDC69C7FFC0000001ULL);
  EXPECT_EQ(base.AddSeconds(0.0), base);
  EXPECT_EQ(base.Value(), 0xDC69C80000000000ULL);
  // Not a number, or no end: nothing sensible to add.
  EXPECT_EQ(base.AddSeconds(std::numeric_limits<double>::quiet_NaN()), base);
  EXPECT_EQ(base.AddSeconds(-std::numeric_limits<double>::infinity()), base);
  // Whole seconds beyond 32 bits wrap like the 64-bit sum.
  EXPECT_EQ(base.AddSeconds(4294967296.0 + 2.0).Value(), 0xDC69C80200000000ULL);
}

TEST(NtpTimestampTest, SecondsSinceIsExactForNearbyValues) {
  const NtpTimestamp a(0xDC69C80012345678ULL);
  EXPECT_EQ(a.SecondsSince(a), 0.0);
  const NtpTimestamp quarterLater = a.AddSeconds(0.25);
  EXPECT_NEAR(a.SecondsSince(quarterLater), -0.25, 1e-9);
  EXPECT_NEAR(quarterLater.SecondsSince(a), 0.25, 1e-9);
  EXPECT_NEAR(a.AddSeconds(-3600.5).SecondsSince(a), -3600.5, 1e-9);
}

TEST(NtpTimestampTest, WireFormIsBigEndianSecondsThenFraction) {
  const NtpTimestamp t(0xDC69C80080000000ULL);
  unsigned char bytes[8] = {};
  t.ToNetwork(bytes);
  const unsigned char expected[8] = {0xDC, 0x69, 0xC8, 0x00, 0x80, 0x00, 0x00, 0x00};
  EXPECT_EQ(0, std::memcmp(bytes, expected, 8));
  NtpTimestamp back;
  back.FromNetwork(bytes);
  EXPECT_EQ(back, t);
  const unsigned char other[8] = {0x01, 0x02, 0x03, 0x04, 0xF5, 0xF6, 0xF7, 0xF8};
  back.FromNetwork(other);
  EXPECT_EQ(back.Value(), 0x01020304F5F6F7F8ULL);
}

TEST(NtpTimestampTest, MillisecondRoundTripLosesOneForAboutHalfTheValues) {
  for (int ms : {0, 250, 500, 999}) {
    SCOPED_TRACE(ms);
    ExpectSameTime(Utc(2017, 3, 8, 12, 34, 56, ms), From(Utc(2017, 3, 8, 12, 34, 56, ms)).ToSystemTime());
  }
  for (int ms : {1, 4, 5, 7, 8, 11}) {
    SCOPED_TRACE(ms);
    EXPECT_EQ(From(Utc(2017, 3, 8, 12, 34, 56, ms)).ToSystemTime().wMilliseconds, ms - 1);
  }
}

TEST(NtpTimestampTest, FullFractionIsAWholeSecond) {
  const NtpTimestamp t(static_cast<std::uint64_t>(From(Utc(2017, 3, 8, 23, 59, 59)).Seconds()) << 32 | 0xFFFFFFFFu);
  ExpectSameTime(Utc(2017, 3, 9), t.ToSystemTime());
}

TEST(NtpTimestampTest, TimesFrom1968To2036ReadAsBefore) {
  for (const SYSTEMTIME& st : {Utc(1968, 1, 20, 3, 14, 8), Utc(1970, 1, 1), Utc(2000, 2, 29, 23, 59, 59, 999),
                               Utc(2036, 2, 7, 6, 28, 15, 500)}) {
    ExpectSameTime(st, From(st).ToSystemTime());
  }
  EXPECT_EQ(From(Utc(1968, 1, 20, 3, 14, 8)).Seconds(), 0x80000000u);
  EXPECT_EQ(From(Utc(2036, 2, 7, 6, 28, 15)).Seconds(), 0xFFFFFFFFu);
}

TEST(NtpTimestampTest, SecondEraFollowsTheFirstWithoutWrappingTo1900) {
  // The first second of era 1 is the all-zero value on the wire.
  const NtpTimestamp start = From(Utc(2036, 2, 7, 6, 28, 16));
  EXPECT_EQ(start.Value(), 0u);
  ExpectSameTime(Utc(2036, 2, 7, 6, 28, 16), start.ToSystemTime());

  const SYSTEMTIME later = Utc(2040, 7, 1, 12, 0, 30, 250);
  const NtpTimestamp t = From(later);
  EXPECT_EQ(t.Seconds(), 0x084596DEu);  // (2040-07-01 12:00:30 - 1900) mod 2^32
  ExpectSameTime(later, t.ToSystemTime());
  ExpectSameTime(Utc(2104, 2, 26, 9, 42, 23), From(Utc(2104, 2, 26, 9, 42, 23)).ToSystemTime());
}

TEST(NtpTimestampTest, DifferencesAndAdditionsCrossTheEraBoundary) {
  const NtpTimestamp before = From(Utc(2036, 2, 7, 6, 28, 15, 500));
  const NtpTimestamp after = From(Utc(2036, 2, 7, 6, 28, 16, 250));
  EXPECT_NEAR(after.SecondsSince(before), 0.75, 1e-9);
  EXPECT_NEAR(before.SecondsSince(after), -0.75, 1e-9);
  ExpectSameTime(Utc(2036, 2, 7, 6, 28, 16, 500), before.AddSeconds(1.0).ToSystemTime());
  ExpectSameTime(Utc(2036, 2, 7, 6, 28, 15, 500), after.AddSeconds(-0.75).ToSystemTime());
}

TEST(NtpTimestampTest, FineTimeMatchesTheCalendarFormAndKeepsTheNanoseconds) {
  constexpr std::int64_t k20170308 = 1488931200LL * 1000000000;
  EXPECT_EQ(NtpTimestamp::FromUnixNanoseconds(k20170308 + 500000000), From(Utc(2017, 3, 8, 0, 0, 0, 500)));
  EXPECT_EQ(NtpTimestamp::FromUnixNanoseconds(k20170308 + 1000000), From(Utc(2017, 3, 8, 0, 0, 0, 1)));
  EXPECT_EQ(NtpTimestamp::FromUnixNanoseconds(k20170308 + 1).Fraction(), 4u);
  EXPECT_EQ(NtpTimestamp::FromUnixNanoseconds(k20170308 + 999999999).Fraction(), 4294967291u);
  EXPECT_EQ(NtpTimestamp::FromUnixNanoseconds(2085978496LL * 1000000000).Value(), 0u);  // era 1 begins
  // Before 1970 the second is the one before, the fraction counted up from it.
  EXPECT_EQ(NtpTimestamp::FromUnixNanoseconds(-500000000), From(Utc(1969, 12, 31, 23, 59, 59, 500)));
}

TEST(NtpTimestampTest, NowIsTheCurrentUtcTimeFinerThanTheMillisecond) {
  const NtpTimestamp now = NtpTimestamp::Now();
  const auto expected = static_cast<std::uint32_t>(std::time(nullptr) + 2208988800LL);
  EXPECT_NEAR(static_cast<double>(now.Seconds()), static_cast<double>(expected), 2.0);
  // A reading on a whole millisecond is a one-in-a-million chance; two in a
  // row mean a clock cut to the millisecond.
  const auto wholeMillisecond = [](NtpTimestamp t) {
    const auto ms = static_cast<std::uint16_t>(NtpTimestamp::FractionToSeconds(t.Fraction()) * 1000.0 + 0.5);
    return NtpTimestamp::MillisecondsToFraction(ms) == t.Fraction();
  };
  EXPECT_FALSE(wholeMillisecond(NtpTimestamp::Now()) && wholeMillisecond(NtpTimestamp::Now()));
}

}  // namespace
