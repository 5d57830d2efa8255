// Without CAP_SYS_TIME the program asks the system's time service, here a
// stand-in on a private bus; the refusal comes from a process that has given
// the capability up for good, so the machine's clock is never reached.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

#include "ntp/ntp_client.h"
#include "platform/time_privilege.h"
#include "tests/ntp/child_process.h"
#include "tests/ntp/fake_ntp_server.h"
#include "tests/platform/private_system_bus.h"

namespace {

TEST(NtpClockTest, WithoutTheCapabilityTheTimeServiceIsAskedToMoveTheClockByTheOffset) {
  PrivateSystemBus bus;  // the child's "system" bus, with the stand-in service
  ASSERT_TRUE(bus.Up());
  const int status = RunInChild([&bus] {
    if (!GiveUpTimeCapability()) return 10;
    const int fds = OpenDescriptorCount();
    NtpClient client;
    // No clock override: a slip past the privilege check would still meet
    // the system's refusal, never change the clock.
    errno = 0;
    if (client.SetSystemClock(NtpTimestamp::Now()) != FALSE || errno != EPERM) return 11;
    if (client.ClockError().empty()) return 12;  // nobody serves the name yet
    if (!bus.StartTimeService("deny")) return 13;
    if (client.SetSystemClock(NtpTimestamp::Now()) != FALSE || client.ClockError() != "Access denied") return 14;
    if (!bus.StartTimeService("allow")) return 15;
    if (client.SetSystemClock(NtpTimestamp::Now().AddSeconds(2.5)) != TRUE || !client.ClockError().empty()) return 16;
    if (client.IsPrivilegeEnabled() || platform::IsTimePrivilegeRaised()) return 17;
    if (OpenDescriptorCount() != fds) return 18;
    return 0;
  });
  EXPECT_EQ(status, 0);
  // Each call by the offset from the moment of the call, relative, asking
  // interactively.
  long long first = 0, second = 0;
  int flags[6] = {};
  ASSERT_EQ(std::sscanf(bus.Calls().c_str(), "%lld %d %d %d\n%lld %d %d %d", &first, &flags[0], &flags[1], &flags[2],
                        &second, &flags[3], &flags[4], &flags[5]),
            8)
      << bus.Calls();
  EXPECT_NEAR(first, 0, 50000);
  EXPECT_NEAR(second, 2500000, 50000);
  for (int flag : flags) EXPECT_EQ(flag, 1);
}

}  // namespace
