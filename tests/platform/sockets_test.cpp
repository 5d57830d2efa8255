#include "platform/sockets.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/resolver.h"
#include "platform/socket_startup.h"
#include "platform/system_error.h"
#include "tests/platform/socket_pair_test.h"

namespace {

TEST_F(SocketPairTest, DatagramsUpToTheCapacityArriveWhole) {
  EXPECT_EQ(platform::WaitSocketReadable(b_, 0), 0);
  ASSERT_EQ(platform::SendSocket(a_, "abcd", 4, 0), 4);
  ASSERT_EQ(platform::WaitSocketReadable(b_, 2000), 1);
  char buffer[4];
  EXPECT_EQ(platform::ReceiveSocket(b_, buffer, sizeof buffer, 0), 4);
  EXPECT_EQ(std::memcmp(buffer, "abcd", 4), 0);
  ASSERT_EQ(platform::SendSocket(a_, "", 0, 0), 0);
  ASSERT_EQ(platform::WaitSocketReadable(b_, 2000), 1);
  EXPECT_EQ(platform::ReceiveSocket(b_, buffer, sizeof buffer, 0), 0);  // an empty datagram
}

TEST_F(SocketPairTest, LongerDatagramIsAnErrorAndIsDiscarded) {
  ASSERT_EQ(platform::SendSocket(a_, "abcde", 5, 0), 5);
  ASSERT_EQ(platform::SendSocket(a_, "xy", 2, 0), 2);
  ASSERT_EQ(platform::WaitSocketReadable(b_, 2000), 1);
  char buffer[4];
  EXPECT_EQ(platform::ReceiveSocket(b_, buffer, sizeof buffer, 0), platform::SOCKET_ERROR);
  EXPECT_EQ(platform::LastSocketError(), platform::kErrorMessageTooLong);
  EXPECT_EQ(platform::ReceiveSocket(b_, buffer, sizeof buffer, 0), 2);
  EXPECT_EQ(std::memcmp(buffer, "xy", 2), 0);
}

TEST(SocketsTest, WaitOnAClosedHandleFails) {
  ASSERT_TRUE(platform::SocketStartup());
  const platform::SOCKET s = platform::OpenSocket(platform::kIPv4, platform::kDatagramSocket, 0);
  platform::CloseSocket(s);
  EXPECT_EQ(platform::WaitSocketReadable(s, 0), platform::SOCKET_ERROR);
  EXPECT_EQ(platform::LastSocketError(), platform::kErrorNotASocket);
}

TEST(ResolverTest, ALiteralResolvesAndAnUnknownNameGivesTheResolverCode) {
  addrinfo* list = nullptr;
  ASSERT_EQ(platform::GetAddressInfo("127.0.0.1", "123", 0, platform::kAnyAddressFamily, platform::kDatagramSocket, 0,
                                     &list),
            0);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(platform::ReadAddressEntry(list).family, platform::kIPv4);
  EXPECT_EQ(platform::NextAddressEntry(list), nullptr);
  platform::FreeAddressInfo(list);

  EXPECT_EQ(platform::GetAddressInfo("bad..name", "123", 0, platform::kAnyAddressFamily, platform::kDatagramSocket, 0,
                                     &list),
            platform::kErrorHostNotFound);
  EXPECT_EQ(list, nullptr);
}

}  // namespace
