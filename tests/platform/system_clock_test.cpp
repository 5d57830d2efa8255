// The machine's clock is never moved: setting goes through an override, or
// is refused in a child process that gave up CAP_SYS_TIME.
#include "platform/system_clock.h"

#include <gtest/gtest.h>
#include <sys/capability.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace {

platform::SYSTEMTIME Utc(int year, int month, int day, int hour, int minute, int second, int ms) {
  return platform::SYSTEMTIME{static_cast<std::uint16_t>(year),   static_cast<std::uint16_t>(month),
                              0,                                  static_cast<std::uint16_t>(day),
                              static_cast<std::uint16_t>(hour),   static_cast<std::uint16_t>(minute),
                              static_cast<std::uint16_t>(second), static_cast<std::uint16_t>(ms)};
}

TEST(SystemClockTest, ReadsTheCurrentUtcTime) {
  const time_t before = std::time(nullptr);
  platform::SYSTEMTIME st{};
  platform::GetSystemTime(st);
  std::tm utc{};
  gmtime_r(&before, &utc);
  EXPECT_EQ(st.wYear, utc.tm_year + 1900);
  EXPECT_LT(st.wMilliseconds, 1000);
  const int secondOfDay = st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
  const int expected = utc.tm_hour * 3600 + utc.tm_min * 60 + utc.tm_sec;
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
  EXPECT_EQ(errno, EINVAL);
  EXPECT_FALSE(platform::SetSystemTime(Utc(1969, 12, 31, 23, 59, 59, 0)));
  EXPECT_EQ(calls, 1);
}

TEST(SystemClockTest, RefusalOfTheClockComesBackAsErrno) {
  {
    platform::ClockOverride clock([](const timespec&) { return EPERM; });
    errno = 0;
    EXPECT_FALSE(platform::SetSystemTime(Utc(2017, 3, 8, 0, 0, 0, 0)));
    EXPECT_EQ(errno, EPERM);
    {
      platform::ClockOverride inner([](const timespec&) { return 0; });
      EXPECT_TRUE(platform::SetSystemTime(Utc(2017, 3, 8, 0, 0, 0, 0)));
    }
    EXPECT_FALSE(platform::SetSystemTime(Utc(2017, 3, 8, 0, 0, 0, 0)));  // the outer one is back
  }
}

TEST(SystemClockTest, RealClockRefusesAProcessWithoutTheCapability) {
  const pid_t pid = fork();
  if (pid == 0) {
    cap_t caps = cap_get_proc();
    const cap_value_t time[] = {CAP_SYS_TIME};
    if (caps == nullptr || cap_set_flag(caps, CAP_EFFECTIVE, 1, time, CAP_CLEAR) != 0 ||
        cap_set_flag(caps, CAP_PERMITTED, 1, time, CAP_CLEAR) != 0 || cap_set_proc(caps) != 0) {
      _exit(10);
    }
    cap_flag_value_t held = CAP_SET;
    cap_get_flag(caps, CAP_SYS_TIME, CAP_EFFECTIVE, &held);
    if (held != CAP_CLEAR) _exit(11);
    // The current time, so that even a wrongly granted call changes nothing.
    platform::SYSTEMTIME now{};
    platform::GetSystemTime(now);
    errno = 0;
    const bool set = platform::SetSystemTime(now);
    _exit(set ? 12 : errno == EPERM ? 0 : 13);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
