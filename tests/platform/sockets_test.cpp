#include "platform/sockets.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/resolver.h"
#include "platform/system_message.h"

namespace {

// Two UDP sockets on loopback connected to each other.
class SocketPairTest : public ::testing::Test {
 protected:
  void SetUp() override {
    a_ = platform::OpenSocket(AF_INET, SOCK_DGRAM, 0);
    b_ = platform::OpenSocket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_NE(a_, platform::INVALID_SOCKET);
    ASSERT_NE(b_, platform::INVALID_SOCKET);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int s : {a_, b_}) ASSERT_EQ(platform::BindSocket(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    sockaddr_in aName{}, bName{};
    socklen_t length = sizeof aName;
    getsockname(a_, reinterpret_cast<sockaddr*>(&aName), &length);
    length = sizeof bName;
    getsockname(b_, reinterpret_cast<sockaddr*>(&bName), &length);
    ASSERT_EQ(platform::ConnectSocket(a_, reinterpret_cast<sockaddr*>(&bName), sizeof bName), 0);
    ASSERT_EQ(platform::ConnectSocket(b_, reinterpret_cast<sockaddr*>(&aName), sizeof aName), 0);
  }
  void TearDown() override {
    platform::CloseSocket(a_);
    platform::CloseSocket(b_);
  }

  platform::SOCKET a_ = platform::INVALID_SOCKET;
  platform::SOCKET b_ = platform::INVALID_SOCKET;
};

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
  EXPECT_EQ(platform::LastSocketError(), EMSGSIZE);
  EXPECT_EQ(platform::ReceiveSocket(b_, buffer, sizeof buffer, 0), 2);
  EXPECT_EQ(std::memcmp(buffer, "xy", 2), 0);
}

TEST_F(SocketPairTest, ErrorFromThePeerMakesTheSocketReadable) {
  platform::CloseSocket(b_);
  b_ = platform::INVALID_SOCKET;
  ASSERT_EQ(platform::SendSocket(a_, "x", 1, 0), 1);
  ASSERT_EQ(platform::WaitSocketReadable(a_, 2000), 1);  // port unreachable is pending
  char buffer[4];
  EXPECT_EQ(platform::ReceiveSocket(a_, buffer, sizeof buffer, 0), platform::SOCKET_ERROR);
  EXPECT_EQ(platform::LastSocketError(), ECONNREFUSED);
}

TEST(SocketsTest, WaitOnAClosedHandleFails) {
  const platform::SOCKET s = platform::OpenSocket(AF_INET, SOCK_DGRAM, 0);
  platform::CloseSocket(s);
  EXPECT_EQ(platform::WaitSocketReadable(s, 0), platform::SOCKET_ERROR);
  EXPECT_EQ(platform::LastSocketError(), EBADF);
}

TEST(ResolverTest, LiteralsResolveAndUnknownNamesGiveTheResolverCode) {
  addrinfo* list = nullptr;
  ASSERT_EQ(platform::GetAddressInfo("::1", "123", 0, AF_UNSPEC, SOCK_DGRAM, 0, &list), 0);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->ai_family, AF_INET6);
  EXPECT_EQ(ntohs(reinterpret_cast<sockaddr_in6*>(list->ai_addr)->sin6_port), 123);
  platform::FreeAddressInfo(list);

  const int code = platform::GetAddressInfo("bad..name", "123", 0, AF_UNSPEC, SOCK_DGRAM, 0, &list);
  EXPECT_LT(code, 0);
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(platform::GetAddressInfo("127.0.0.1", "no-such-service-name", 0, AF_UNSPEC, SOCK_DGRAM, 0, &list),
            EAI_SERVICE);
}

TEST(SystemMessageTest, ErrnoAndResolverCodesHaveTextsOthersNone) {
  std::string text = "stale";
  EXPECT_TRUE(platform::SystemErrorMessage(EMSGSIZE, text));
  EXPECT_EQ(text, "Message too long");
  EXPECT_TRUE(platform::SystemErrorMessage(EAI_NONAME, text));
  EXPECT_EQ(text, gai_strerror(EAI_NONAME));
  for (int code : {0, 10060, 4000, -1000}) {
    EXPECT_FALSE(platform::SystemErrorMessage(code, text)) << code;
    EXPECT_EQ(text, "");
  }
}

}  // namespace
