#include "platform/time_service.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "tests/platform/private_system_bus.h"

namespace {

TEST(TimeService, AnAllowedCallMovesTheClockByTheOffsetAskingInteractively) {
  PrivateSystemBus bus;
  ASSERT_TRUE(bus.Up());
  ASSERT_TRUE(bus.StartTimeService("allow"));
  int waits = 0;
  platform::SetTimeServiceWaitHook([&] { ++waits; });
  std::string reason = "stale";
  EXPECT_TRUE(platform::SetTimeThroughService(-1234567, true, reason));
  platform::SetTimeServiceWaitHook(nullptr);
  EXPECT_EQ(reason, "");
  // Offset, relative, interactive, and polkit allowed to ask for a password.
  EXPECT_EQ(bus.Calls(), "-1234567 1 1 1\n");
}

TEST(TimeService, ARefusalGivesTheServicesReason) {
  PrivateSystemBus bus;
  ASSERT_TRUE(bus.Up());
  for (const auto& [mode, text] : {std::pair{"deny", "Access denied"},
                                   std::pair{"ntp", "Automatic time synchronization is enabled"}}) {
    ASSERT_TRUE(bus.StartTimeService(mode));
    std::string reason;
    EXPECT_FALSE(platform::SetTimeThroughService(5, true, reason)) << mode;
    EXPECT_EQ(reason, text);
  }
  EXPECT_EQ(bus.Calls(), "5 1 1 1\n5 1 1 1\n");
}

TEST(TimeService, NoServiceOrNoBusIsAFailureWithAReason) {
  {
    PrivateSystemBus bus;  // up, but nobody owns the service's name
    ASSERT_TRUE(bus.Up());
    std::string reason;
    EXPECT_FALSE(platform::SetTimeThroughService(5, true, reason));
    EXPECT_FALSE(reason.empty());
  }
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/tempiola-bus", 1);
  std::string reason;
  EXPECT_FALSE(platform::SetTimeThroughService(5, true, reason));
  EXPECT_EQ(reason.rfind("no system bus: ", 0), 0u) << reason;
  ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

}  // namespace
