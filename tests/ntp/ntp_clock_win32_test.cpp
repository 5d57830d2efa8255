// SeSystemtimePrivilege in the process's own token, around an injected
// clock: the machine's clock is never reached. The system enables the
// privilege also for an account that does not hold it, and the clock call
// then refuses with ERROR_PRIVILEGE_NOT_HELD.
#include <gtest/gtest.h>

#include <cerrno>

#include "ntp/ntp_client.h"
#include "platform/system_clock.h"
#include "platform/system_error.h"
#include "platform/time_privilege.h"

namespace {

constexpr NtpTimestamp kTime(0xDC69C80080000000ULL);

TEST(NtpClockTokenTest, ThePrivilegeIsEnabledOnlyWhileTheClockIsSetAndItsRefusalIsTheReason) {
  ASSERT_TRUE(platform::IsTimePrivilegePermitted());  // an administrator's token holds it
  EXPECT_FALSE(platform::IsTimePrivilegeRaised());
  int calls = 0;
  bool raisedWhileSetting = false;
  platform::ClockOverride clock([&](const timespec&) {
    raisedWhileSetting = platform::IsTimePrivilegeRaised();
    return ++calls == 1 ? 0 : platform::kErrorPermission;
  });
  NtpClient client;
  EXPECT_EQ(client.SetSystemClock(kTime), TRUE);
  EXPECT_TRUE(raisedWhileSetting);
  EXPECT_FALSE(platform::IsTimePrivilegeRaised());

  raisedWhileSetting = false;
  errno = 0;
  EXPECT_EQ(client.SetSystemClock(kTime), FALSE);
  EXPECT_EQ(errno, platform::kErrorPermission);
  EXPECT_TRUE(raisedWhileSetting);
  EXPECT_TRUE(client.ClockError().empty());
  EXPECT_FALSE(platform::IsTimePrivilegeRaised());
  EXPECT_FALSE(client.IsPrivilegeEnabled());
}

TEST(NtpClockTokenTest, PrivilegeThatCannotBeEnabledSetsNothingAndAsksNoService) {
  platform::TimePrivilegeOverride refused([](bool) {
    errno = platform::kErrorAccessDenied;
    return false;
  });
  bool set = false;
  platform::ClockOverride clock([&](const timespec&) {
    set = true;
    return 0;
  });
  NtpClient client;
  errno = 0;
  EXPECT_EQ(client.SetSystemClock(kTime), FALSE);
  EXPECT_EQ(errno, platform::kErrorPermission);
  EXPECT_FALSE(set);
  EXPECT_TRUE(client.ClockError().empty());  // Windows has no time service to ask
}

}  // namespace
