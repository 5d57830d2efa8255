#include "platform/local_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>
#include <tuple>

namespace {

using platform::Time64;

// Sets the process's zone; every test that reads local time sets its own.
void UseZone(const char* tz) {
  // The environment keeps this very string on some systems, so it outlives
  // the call.
  static char setting[64];
  std::snprintf(setting, sizeof setting, "TZ=%s", tz);
  ::putenv(setting);
  ::tzset();
}

// Every field, to compare at once: year, month, day, weekday, day of the
// year, hour, minute, second.
auto Fields(const platform::CivilTime& f) {
  return std::make_tuple(f.year, f.month, f.day, f.weekday, f.dayOfYear, f.hour, f.minute, f.second);
}

TEST(LocalTime, FieldsOfAnInstant) {
  UseZone("CST-8");
  // 2017-01-01 01:01:01 in China is 2016-12-31 17:01:01 UTC.
  EXPECT_EQ(Fields(platform::ToLocalTime(1483203661)), std::make_tuple(2017, 1, 1, 1, 1, 1, 1, 1));  // a Sunday
}

TEST(CivilTime, FieldsOfAClockWithoutSummerTime) {
  struct Case {
    std::int64_t seconds;
    platform::CivilTime expected;
  };
  const Case cases[] = {
      {0, {1970, 1, 1, 5, 1, 0, 0, 0}},                   // a Thursday
      {951782400, {2000, 2, 29, 3, 60, 0, 0, 0}},         // a leap day, a Tuesday
      {978307199, {2000, 12, 31, 1, 366, 23, 59, 59}},    // the last day of a leap year, a Sunday
      {4102444800 + 3600 * 9, {2100, 1, 1, 6, 1, 9, 0, 0}},  // no leap year in 2100 before it; a Friday
      {-1, {1969, 12, 31, 4, 365, 23, 59, 59}},           // before 1970, a Wednesday
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Fields(platform::CivilTimeOf(c.seconds)), Fields(c.expected)) << c.seconds;
  }
}

TEST(LocalTime, AFailedConversionGivesMinusOneTimeAndZeroDate) {
  UseZone("CST-8");
  // Before 1970 too, where Windows' runtime has no calendar.
  for (Time64 t : {std::numeric_limits<Time64>::max(), std::numeric_limits<Time64>::min(), Time64{-1}}) {
    const platform::CivilTime f = platform::ToLocalTime(t);
    EXPECT_EQ(std::make_tuple(f.year, f.month, f.day, f.weekday, f.hour, f.minute, f.second),
              std::make_tuple(0, 0, 0, 0, -1, -1, -1))
        << t;
  }
}

TEST(LocalTime, BuildIsTheInverseOfTheFields) {
  UseZone("CST-8");
  Time64 t = 0;
  ASSERT_TRUE(platform::BuildLocalTime(2017, 1, 1, 1, 1, 1, t));
  EXPECT_EQ(t, 1483203661);
  ASSERT_TRUE(platform::BuildLocalTime(2026, 12, 31, 23, 59, 59, t));
  platform::CivilTime f = platform::ToLocalTime(t + 1);
  EXPECT_EQ(f.year, 2027);
  EXPECT_EQ(f.hour, 0);
}

TEST(LocalTime, BuildLetsTheZoneDecideDaylightSaving) {
  // Central Europe, written as both systems' runtimes read TZ: summer time
  // by their default (US) rules, which agree with Europe's in January and
  // July.
  UseZone("CET-1CEST");
  Time64 winter = 0, summer = 0;
  ASSERT_TRUE(platform::BuildLocalTime(2026, 1, 15, 12, 0, 0, winter));
  ASSERT_TRUE(platform::BuildLocalTime(2026, 7, 15, 12, 0, 0, summer));
  EXPECT_EQ(platform::ToLocalTime(winter).hour, 12);
  EXPECT_EQ(platform::ToLocalTime(summer).hour, 12);
  EXPECT_EQ(winter % 86400, 11 * 3600);  // 11:00 UTC
  EXPECT_EQ(summer % 86400, 10 * 3600);  // 10:00 UTC
}

TEST(LocalTime, BuildRejectsFieldsOutsideTheCalendar) {
  UseZone("CST-8");
  struct Case {
    int year, month, day, hour, minute, second;
  } bad[] = {
      {1899, 12, 31, 0, 0, 0}, {2017, 0, 1, 0, 0, 0},  {2017, 13, 1, 0, 0, 0}, {2017, 1, 0, 0, 0, 0},
      {2017, 1, 32, 0, 0, 0},  {2017, 1, 1, 24, 0, 0}, {2017, 1, 1, -1, 0, 0}, {2017, 1, 1, 0, 60, 0},
      {2017, 1, 1, 0, 0, 60},  {1970, 1, 1, 7, 59, 59}, {1969, 12, 31, 23, 59, 59},  // before 1970 in UTC
  };
  for (const Case& c : bad) {
    Time64 t = 12345;
    EXPECT_FALSE(platform::BuildLocalTime(c.year, c.month, c.day, c.hour, c.minute, c.second, t))
        << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":" << c.second;
    EXPECT_EQ(t, 12345);
  }
  // Day 31 of a 30-day month is let through and rolls over, as mktime does.
  Time64 t = 0;
  ASSERT_TRUE(platform::BuildLocalTime(2017, 4, 31, 0, 0, 0, t));
  EXPECT_EQ(platform::ToLocalTime(t).month, 5);
}

TEST(LocalTime, Spans) {
  EXPECT_EQ(platform::TimeSpan(0, 0, 0, 20), 20);
  EXPECT_EQ(platform::TimeSpan(1, 2, 3, 4), 93784);
  EXPECT_EQ(platform::TimeSpan(0, 0, 1, -1), 59);
}

TEST(LocalTime, TheSystemClockIsTheCurrentTime) {
  // Against the fine clock: time() reads a coarse one that can lag a tick.
  const auto seconds = [] {
    return static_cast<Time64>(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
  };
  platform::SystemClock clock;
  Time64 before = seconds();
  Time64 now = clock.Now();
  EXPECT_GE(now, before);
  EXPECT_LE(now, seconds());
}

}  // namespace
