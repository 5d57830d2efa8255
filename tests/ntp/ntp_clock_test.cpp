// Setting the clock never reaches the machine's real clock here: it goes
// through an injected clock with a stand-in privilege. (The tests of each
// system's own way are beside this file.)
#include <gtest/gtest.h>

#include <cerrno>

#include "ntp/ntp_client.h"
#include "platform/system_clock.h"
#include "platform/time_privilege.h"
#include "tests/ntp/fake_time_privilege.h"

namespace {

// 2017-03-08 00:00:00.500 UTC.
constexpr NtpTimestamp kTime(0xDC69C80080000000ULL);
constexpr time_t kTimeUnixSeconds = 1488931200;

TEST(NtpClockTest, ClockIsSetWithThePrivilegeRaisedOnlyAroundIt) {
  FakeTimePrivilege privilege;
  timespec set{};
  bool raisedWhileSetting = false;
  platform::ClockOverride clock([&](const timespec& time) {
    set = time;
    raisedWhileSetting = privilege.raised();
    return 0;
  });
  NtpClient client;
  EXPECT_EQ(client.SetSystemClock(kTime), TRUE);
  EXPECT_EQ(set.tv_sec, kTimeUnixSeconds);
  EXPECT_EQ(set.tv_nsec, 500000000);
  EXPECT_TRUE(raisedWhileSetting);
  EXPECT_FALSE(privilege.raised());
  EXPECT_EQ(privilege.raises(), 1);
  EXPECT_FALSE(client.IsPrivilegeEnabled());
}

TEST(NtpClockTest, RefusedTimeReportsTheClockError) {
  FakeTimePrivilege privilege;
  platform::ClockOverride clock([](const timespec&) { return EINVAL; });
  NtpClient client;
  errno = 0;
  EXPECT_EQ(client.SetSystemClock(kTime), FALSE);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(privilege.raises(), 1);
  EXPECT_FALSE(privilege.raised());
  EXPECT_FALSE(client.IsPrivilegeEnabled());
}

TEST(NtpClockTest, DestroyedClientLowersThePrivilege) {
  FakeTimePrivilege privilege;
  {
    NtpClient client;
    ASSERT_EQ(client.EnableSystemTimePrivilege(), TRUE);
    EXPECT_TRUE(client.IsPrivilegeEnabled());
    EXPECT_TRUE(privilege.raised());
  }  // destroyed while enabled: the privilege goes down with it
  EXPECT_FALSE(privilege.raised());
  EXPECT_EQ(privilege.lowers(), 1);
}

}  // namespace
