#include "platform/time_privilege.h"

#include <gtest/gtest.h>
#include <sys/capability.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace {

TEST(TimePrivilegeTest, RaisedOnlyInTheEffectiveSetAndLoweredAgain) {
  if (!platform::IsTimePrivilegePermitted()) GTEST_SKIP() << "needs CAP_SYS_TIME in the permitted set";
  ASSERT_TRUE(platform::LowerTimePrivilege());
  EXPECT_FALSE(platform::IsTimePrivilegeRaised());
  EXPECT_TRUE(platform::IsTimePrivilegePermitted());
  ASSERT_TRUE(platform::RaiseTimePrivilege());
  EXPECT_TRUE(platform::IsTimePrivilegeRaised());
  ASSERT_TRUE(platform::LowerTimePrivilege());
  EXPECT_FALSE(platform::IsTimePrivilegeRaised());
  EXPECT_TRUE(platform::IsTimePrivilegePermitted());
}

TEST(TimePrivilegeTest, CannotBeRaisedWithoutBeingPermitted) {
  const pid_t pid = fork();
  if (pid == 0) {
    cap_t caps = cap_get_proc();
    const cap_value_t time[] = {CAP_SYS_TIME};
    if (caps == nullptr || cap_set_flag(caps, CAP_EFFECTIVE, 1, time, CAP_CLEAR) != 0 ||
        cap_set_flag(caps, CAP_PERMITTED, 1, time, CAP_CLEAR) != 0 || cap_set_proc(caps) != 0) {
      _exit(10);
    }
    errno = 0;
    if (platform::RaiseTimePrivilege()) _exit(11);
    if (errno != EPERM) _exit(12);
    if (platform::IsTimePrivilegeRaised() || platform::IsTimePrivilegePermitted()) _exit(13);
    _exit(platform::LowerTimePrivilege() ? 0 : 14);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
