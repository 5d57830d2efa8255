#include "platform/time_privilege.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "tests/platform/drop_clock_right.h"

namespace {

// The check runs in a child. A process without CAP_SYS_TIME gets it there
// from a user namespace of its own: permitted in that namespace, it can be
// raised and lowered like the installed program's, but it never counts for
// the machine's clock.
TEST(TimePrivilegeTest, RaisedOnlyInTheEffectiveSetAndLoweredAgain) {
  constexpr int kNoNamespace = 20;
  const pid_t pid = fork();
  if (pid == 0) {
    if (!platform::IsTimePrivilegePermitted() && unshare(CLONE_NEWUSER) != 0) _exit(kNoNamespace);
    if (!platform::IsTimePrivilegePermitted()) _exit(10);
    if (!platform::LowerTimePrivilege() || platform::IsTimePrivilegeRaised()) _exit(11);
    if (!platform::RaiseTimePrivilege() || !platform::IsTimePrivilegeRaised()) _exit(12);
    if (!platform::LowerTimePrivilege() || platform::IsTimePrivilegeRaised()) _exit(13);
    _exit(platform::IsTimePrivilegePermitted() ? 0 : 14);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kNoNamespace) GTEST_SKIP() << "no CAP_SYS_TIME and no user namespace to get it in";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(TimePrivilegeTest, CannotBeRaisedWithoutBeingPermitted) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (!DropClockRight()) _exit(10);
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
