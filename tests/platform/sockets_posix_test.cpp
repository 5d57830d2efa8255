// What only the Linux system shows of sockets: a refusal by the peer's
// port reported to the socket (Wine does not report it), IPv6 literals and
// service names, and the system's texts for errno and resolver codes.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>

#include <cerrno>

#include "platform/resolver.h"
#include "platform/sockets.h"
#include "platform/system_message.h"
#include "tests/platform/socket_pair_test.h"

namespace {

TEST_F(SocketPairTest, ErrorFromThePeerMakesTheSocketReadable) {
  platform::CloseSocket(b_);
  b_ = platform::INVALID_SOCKET;
  ASSERT_EQ(platform::SendSocket(a_, "x", 1, 0), 1);
  ASSERT_EQ(platform::WaitSocketReadable(a_, 2000), 1);  // port unreachable is pending
  char buffer[4];
  EXPECT_EQ(platform::ReceiveSocket(a_, buffer, sizeof buffer, 0), platform::SOCKET_ERROR);
  EXPECT_EQ(platform::LastSocketError(), ECONNREFUSED);
}

TEST(ResolverTest, Ipv6LiteralsAndServiceNames) {
  addrinfo* list = nullptr;
  ASSERT_EQ(platform::GetAddressInfo("::1", "123", 0, AF_UNSPEC, SOCK_DGRAM, 0, &list), 0);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->ai_family, AF_INET6);
  EXPECT_EQ(ntohs(reinterpret_cast<sockaddr_in6*>(list->ai_addr)->sin6_port), 123);
  platform::FreeAddressInfo(list);

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
