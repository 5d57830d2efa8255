// The machine's clock is never moved: setting goes through an override,
// and the real clock is only asked by a process that may not set it.
#include "platform/system_clock.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>

#include "platform/system_error.h"

namespace {

platform::SYSTEMTIME Utc(int year, int month, int day, int hour, int minute, int second, int ms) {
  return platform::SYSTEMTIME{static_cast<std::uint16_t>(year),   static_cast<std::uint16_t>(month),
                              0,                                  static_cast<std::uint16_t>(day),
                              static_cast<std::uint16_t>(hour),   static_cast<std::uint16_t>(minute),
                              static_cast<std::uint16_t>(second), static_cast<std::uint16_t>(ms)};
}

TEST(SystemClockTest, ReadsTheCurrentUtcTime) {
  using namespace std::chrono;
  const auto before = floor<seconds>(system_clock::now());
  platform::SYSTEMTIME st{};
  platform::GetSystemTime(st);
  const year_month_day day{floor<days>(before)};
  EXPECT_EQ(st.wYear, static_cast<int>(day.year()));
  EXPECT_LT(st.wMilliseconds, 1000);
  const int secondOfDay = st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
  const auto expected = static_cast<int>((before - floor<days>(before)).count());
  EXPECT_LE((secondOfDay - expected + 86400) % 86400, 2);
}

TEST(SystemClockTest, SetTimeReachesTheClockAsUnixTime) {
  timespec set{-1, -1};
  int calls = 0;
  platform::ClockOverride clock([&](const timespec& time) {
    set = time;
    ++calls;
    return 0;
  });
  EXPECT_TRUE(platform::SetSystemTime(Utc(2017, 3, 8, 12, 34, 56, 789)));
  EXPECT_EQ(set.tv_sec, 1488976496);
  EXPECT_EQ(set.tv_nsec, 789000000);

  errno = 0;
  EXPECT_FALSE(platform::SetSystemTime(Utc(2017, 2, 30, 0, 0, 0, 0)));
  EXPECT_EQ(errno, platform::kErrorInvalidArgument);
  EXPECT_FALSE(platform::SetSystemTime(Utc(1969, 12, 31, 23, 59, 59, 0)));
  EXPECT_EQ(calls, 1);
}

TEST(SystemClockTest, RefusalOfTheClockComesBackAsErrno) {
  {
    platform::ClockOverride clock([](const timespec&) { return platform::kErrorPermission; });
    errno = 0;
    EXPECT_FALSE(platform::SetSystemTime(Utc(2017, 3, 8, 0, 0, 0, 0)));
    EXPECT_EQ(errno, platform::kErrorPermission);
    {
      platform::ClockOverride inner([](const timespec&) { return 0; });
      EXPECT_TRUE(platform::SetSystemTime(Utc(2017, 3, 8, 0, 0, 0, 0)));
    }
    EXPECT_FALSE(platform::SetSystemTime(Utc(2017, 3, 8, 0, 0, 0, 0)));  // the outer one is back
  }
}

}  // namespace
