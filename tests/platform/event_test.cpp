#include "platform/event.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/thread.h"

namespace {

using platform::Event;

TEST(Event, IsAutoResetAndSetsDoNotAddUp) {
  Event e;
  ASSERT_TRUE(e.IsValid());
  EXPECT_EQ(platform::WaitForEvent(e, 0), platform::kWaitTimeout);
  e.Set();
  e.Set();
  EXPECT_EQ(platform::WaitForEvent(e, 0), 0);
  EXPECT_EQ(platform::WaitForEvent(e, 0), platform::kWaitTimeout);
  e.Set();
  e.Reset();
  EXPECT_EQ(platform::WaitForEvent(e, 10), platform::kWaitTimeout);
}

TEST(Event, WaitReportsTheEarliestSignalledAndLeavesTheOthersSignalled) {
  Event quit, stop, start, device;
  const Event* set[] = {&quit, &stop, &start, &device};
  device.Set();
  start.Set();
  stop.Set();
  EXPECT_EQ(platform::WaitForEvents(set, 4, 0), 1);
  quit.Set();
  EXPECT_EQ(platform::WaitForEvents(set, 4, 0), 0);
  EXPECT_EQ(platform::WaitForEvents(set, 4, 0), 2);
  EXPECT_EQ(platform::WaitForEvents(set, 4, platform::kInfinite), 3);
  EXPECT_EQ(platform::WaitForEvents(set, 4, 5), platform::kWaitTimeout);
}

TEST(Event, AWaitWithoutValidEventsFails) {
  Event e;
  const Event* withNull[] = {&e, nullptr};
  EXPECT_EQ(platform::WaitForEvents(withNull, 2, 0), platform::kWaitFailed);
  EXPECT_EQ(platform::WaitForEvents(withNull, 0, 0), platform::kWaitFailed);
}

TEST(Thread, ASetFromAnotherThreadEndsAnInfiniteWait) {
  Event go, done;
  std::atomic<int> seen{-5};
  platform::Thread worker;
  ASSERT_TRUE(worker.Start([&] {
    seen = platform::WaitForEvent(go, platform::kInfinite);
    done.Set();
  }));
  EXPECT_FALSE(worker.Start([] {}));  // one routine per thread
  go.Set();
  EXPECT_EQ(platform::WaitForEvent(done, platform::kInfinite), 0);
  EXPECT_TRUE(worker.Join(platform::kInfinite));
  EXPECT_FALSE(worker.IsRunning());
  EXPECT_EQ(seen.load(), 0);
}

TEST(Thread, JoinGivesUpAfterItsTimeOutWhileTheRoutineRuns) {
  Event release;
  platform::Thread worker;
  ASSERT_TRUE(worker.Start([&] { platform::WaitForEvent(release, platform::kInfinite); }));
  EXPECT_FALSE(worker.Join(20));
  EXPECT_TRUE(worker.IsRunning());
  release.Set();
  EXPECT_TRUE(worker.Join(platform::kInfinite));
  EXPECT_TRUE(worker.Join(0));  // nothing left to join
}

}  // namespace
