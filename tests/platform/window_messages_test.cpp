#include "platform/window_messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(WindowMessages, PostReachesItsWindowOnlyWhileRegistered) {
  std::vector<unsigned> got;
  platform::WindowHandle h = platform::RegisterWindow([&](unsigned m, std::uintptr_t w, std::intptr_t l) {
    got.push_back(m);
    EXPECT_EQ(w, 6u);
    EXPECT_EQ(l, -1);
  });
  ASSERT_NE(h, 0u);
  EXPECT_TRUE(platform::PostWindowMessage(h, 1224, 6, -1));
  platform::UnregisterWindow(h);
  EXPECT_FALSE(platform::PostWindowMessage(h, 1224, 6, -1));
  EXPECT_FALSE(platform::PostWindowMessage(0, 1224, 6, -1));
  EXPECT_EQ(got, std::vector<unsigned>{1224});
}

TEST(WindowMessages, HandlesAreNotReused) {
  platform::WindowHandle a = platform::RegisterWindow([](unsigned, std::uintptr_t, std::intptr_t) {});
  platform::UnregisterWindow(a);
  platform::WindowHandle b = platform::RegisterWindow([](unsigned, std::uintptr_t, std::intptr_t) {});
  EXPECT_NE(a, b);
  platform::UnregisterWindow(b);
}

TEST(WindowMessages, PostsFromOtherThreadsAreAllDelivered) {
  std::atomic<int> count{0};
  platform::WindowHandle h =
      platform::RegisterWindow([&](unsigned, std::uintptr_t, std::intptr_t) { count.fetch_add(1); });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([h] {
      for (int i = 0; i < 1000; ++i) platform::PostWindowMessage(h, 1124, 0, 0);
    });
  }
  for (auto& t : threads) t.join();
  platform::UnregisterWindow(h);
  EXPECT_EQ(count.load(), 4000);
}

}  // namespace
