// The real clock, asked only by a child that gave up CAP_SYS_TIME.
#include <gtest/gtest.h>
#include <sys/capability.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system_clock.h"

namespace {

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
