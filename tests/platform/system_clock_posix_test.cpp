// The real clock, asked only by a child that gave up CAP_SYS_TIME.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system_clock.h"
#include "tests/platform/drop_clock_right.h"

namespace {

TEST(SystemClockTest, RealClockRefusesAProcessWithoutTheCapability) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (!DropClockRight()) _exit(10);
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
