#include "platform/system_time.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using platform::FILETIME;
using platform::SYSTEMTIME;

SYSTEMTIME Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0) {
  return SYSTEMTIME{static_cast<std::uint16_t>(year),   static_cast<std::uint16_t>(month),
                    0,                                  static_cast<std::uint16_t>(day),
                    static_cast<std::uint16_t>(hour),   static_cast<std::uint16_t>(minute),
                    static_cast<std::uint16_t>(second), static_cast<std::uint16_t>(ms)};
}

std::uint64_t Ticks(const SYSTEMTIME& st) {
  FILETIME ft{0xDEAD, 0xBEEF};
  EXPECT_TRUE(platform::SystemTimeToFileTime(st, ft));
  return platform::FileTimeTicks(ft);
}

TEST(SystemTimeTest, TicksCountFrom1601) {
  EXPECT_EQ(Ticks(Utc(1601, 1, 1)), 0u);
  EXPECT_EQ(Ticks(Utc(1900, 1, 1)), 94354848000000000ULL);
  EXPECT_EQ(Ticks(Utc(1970, 1, 1)), 116444736000000000ULL);
  EXPECT_EQ(Ticks(Utc(2017, 3, 8, 12, 34, 56, 789)), 131334500967890000ULL);
}

TEST(SystemTimeTest, CalendarComesBackWithWeekdayAndWithoutSubMilliseconds) {
  SYSTEMTIME st{};
  ASSERT_TRUE(platform::FileTimeToSystemTime(platform::FileTimeFromTicks(131334500967899999ULL), st));
  // A Wednesday.
  EXPECT_EQ(std::make_tuple(st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond,
                            st.wMilliseconds),
            std::make_tuple(2017, 3, 8, 3, 12, 34, 56, 789));

  ASSERT_TRUE(platform::FileTimeToSystemTime(platform::FileTimeFromTicks(0), st));
  EXPECT_EQ(st.wYear, 1601);
  EXPECT_EQ(st.wDayOfWeek, 1);  // Monday
  // Every day of a leap year and of the years around it comes back.
  for (std::uint64_t ticks = Ticks(Utc(1999, 12, 31)); ticks < Ticks(Utc(2001, 3, 2)); ticks += 86400ULL * 10000000) {
    ASSERT_TRUE(platform::FileTimeToSystemTime(platform::FileTimeFromTicks(ticks + 12345678), st));
    EXPECT_EQ(Ticks(st), ticks + 12340000);
  }
}

TEST(SystemTimeTest, FieldsOutOfRangeDoNotConvert) {
  const SYSTEMTIME bad[] = {
      Utc(1600, 12, 31), Utc(30828, 1, 1),  Utc(2017, 0, 1),       Utc(2017, 13, 1),          Utc(2017, 257, 1),
      Utc(2017, 1, 0),   Utc(2017, 1, 257), Utc(2017, 4, 31),      Utc(2017, 2, 29),          Utc(1900, 2, 29),
      Utc(2017, 1, 1, 24), Utc(2017, 1, 1, 0, 60), Utc(2017, 1, 1, 0, 0, 60), Utc(2017, 1, 1, 0, 0, 0, 1000),
  };
  for (const SYSTEMTIME& st : bad) {
    FILETIME ft{0xDEAD, 0xBEEF};
    EXPECT_FALSE(platform::SystemTimeToFileTime(st, ft)) << st.wYear << "-" << st.wMonth << "-" << st.wDay;
    EXPECT_EQ(ft.dwLowDateTime, 0xDEADu);
  }
  EXPECT_GT(Ticks(Utc(2000, 2, 29)), 0u);
  EXPECT_GT(Ticks(Utc(30827, 12, 31, 23, 59, 59, 999)), 0u);
}

TEST(SystemTimeTest, TickCountsWithTheTopBitSetDoNotConvert) {
  SYSTEMTIME st = Utc(1234, 5, 6);
  EXPECT_FALSE(platform::FileTimeToSystemTime(platform::FileTimeFromTicks(0x8000000000000000ULL), st));
  EXPECT_EQ(st.wYear, 1234);
  EXPECT_TRUE(platform::FileTimeToSystemTime(platform::FileTimeFromTicks(0x7FFFFFFFFFFFFFFFULL), st));
  EXPECT_EQ(st.wYear, 30828);
}

}  // namespace
