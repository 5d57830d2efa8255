// SeSystemtimePrivilege in the process's own token, and the real clock asked
// while it is disabled: the system refuses, and so does Wine, which moves no
// clock by more than half a second.
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/system_clock.h"
#include "platform/system_error.h"
#include "platform/time_privilege.h"

namespace {

TEST(TimePrivilegeTest, EnabledInTheTokenOnlyBetweenRaiseAndLower) {
  if (!platform::IsTimePrivilegePermitted()) GTEST_SKIP() << "the account does not hold SeSystemtimePrivilege";
  ASSERT_TRUE(platform::LowerTimePrivilege());
  EXPECT_FALSE(platform::IsTimePrivilegeRaised());
  ASSERT_TRUE(platform::RaiseTimePrivilege());
  EXPECT_TRUE(platform::IsTimePrivilegeRaised());
  ASSERT_TRUE(platform::LowerTimePrivilege());
  EXPECT_FALSE(platform::IsTimePrivilegeRaised());
  EXPECT_TRUE(platform::IsTimePrivilegePermitted());
}

TEST(SystemClockTest, RealClockRefusesWhileThePrivilegeIsDisabled) {
  ASSERT_TRUE(platform::LowerTimePrivilege());
  ASSERT_FALSE(platform::IsTimePrivilegeRaised()) << "never asked with the right to set it";
  platform::SYSTEMTIME st{};
  platform::GetSystemTime(st);
  st.wSecond = static_cast<std::uint16_t>((st.wSecond + 30) % 60);
  errno = 0;
  EXPECT_FALSE(platform::SetSystemTime(st));
  EXPECT_EQ(errno, platform::kErrorPermission);
}

}  // namespace
