#include "ntp/ntp_client.h"

#include <gtest/gtest.h>
#include <netdb.h>

#include <cerrno>
#include <chrono>

#include "ntp/ntp_errors.h"
#include "ntp/wsocket_exception.h"
#include "platform/resolver.h"
#include "tests/ntp/fake_ntp_server.h"

namespace {

// The code of the CWSocketException that Query throws; 0 when it returns.
int QueryCode(const char* host, int port, NtpResult& result) {
  NtpClient client;
  try {
    client.Query(host, result, port);
  } catch (CWSocketException* e) {
    const int code = e->m_nError;
    e->Delete();
    return code;
  }
  return 0;
}

TEST(NtpClientQueryTest, RequestIsAClientPacketStampedWithNow) {
  Bytes seen;
  FakeNtpServer server([&](const Bytes& request) {
    seen = request;
    return ServerReply(request);
  });
  NtpResult result;
  const NtpTimestamp before = NtpTimestamp::Now();
  ASSERT_EQ(QueryCode("127.0.0.1", server.port(), result), 0);
  ASSERT_EQ(seen.size(), 48u);
  EXPECT_EQ(seen[0], 0x1B);
  EXPECT_TRUE(std::all_of(seen.begin() + 1, seen.begin() + 40, [](unsigned char b) { return b == 0; }));
  EXPECT_GE(RequestTransmit(seen).SecondsSince(before), 0.0);
  EXPECT_EQ(result.T1, RequestTransmit(seen));
  EXPECT_GE(result.T4.SecondsSince(result.T1), 0.0);
  // The server is 0.5 s ahead and keeps the request 10 ms.
  EXPECT_NEAR(result.offset, 0.505 - result.T4.SecondsSince(result.T1) / 2, 1e-6);
  EXPECT_NEAR(result.delay, result.T4.SecondsSince(result.T1) - 0.01, 1e-6);
  EXPECT_NEAR(result.offset, 0.505, 0.05);
  EXPECT_EQ(result.stratum, 2);
  EXPECT_EQ(server.requests(), 1);
}

TEST(NtpClientQueryTest, ReplyWithAuthenticatorCountsAndOneByteMoreFails) {
  for (std::size_t size : {48u, 68u}) {
    FakeNtpServer server([&](const Bytes& request) { return ServerReply(request, size); });
    NtpResult result;
    ASSERT_EQ(QueryCode("127.0.0.1", server.port(), result), 0) << size;
    EXPECT_NEAR(result.T2.SecondsSince(result.T1), 0.5, 1e-9);
    EXPECT_NEAR(result.offset, 0.505, 0.05);
  }
  FakeNtpServer server([](const Bytes& request) { return ServerReply(request, 69); });
  NtpResult result;
  EXPECT_EQ(QueryCode("127.0.0.1", server.port(), result), EMSGSIZE);
}

TEST(NtpClientQueryTest, UnusableRepliesFailAndLeaveOnlyTheArrivalTime) {
  struct Case {
    const char* what;
    FakeNtpServer::ReplyFunction reply;
    int code;
  };
  const Case cases[] = {
      {"empty datagram", [](const Bytes&) { return Bytes{}; }, kNtpErrorEmptyReply},
      {"wrong originate",
       [](const Bytes& request) {
         Bytes r = ServerReply(request);
         r[27] ^= 0x40;
         return r;
       },
       kNtpErrorNotOurRequest},
      {"mode 3",
       [](const Bytes& request) {
         Bytes r = ServerReply(request);
         r[0] = 0x23;
         return r;
       },
       kNtpErrorNotServerReply},
      {"stratum 0",
       [](const Bytes& request) {
         Bytes r = ServerReply(request);
         r[1] = 0;
         return r;
       },
       kNtpErrorBadStratum},
      {"leap indicator 3",
       [](const Bytes& request) {
         Bytes r = ServerReply(request);
         r[0] = 0xE4;
         return r;
       },
       kNtpErrorUnsynchronised},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeNtpServer server(c.reply);
    NtpResult result;
    result.stratum = -1;
    result.offset = 42.0;
    const int fds = OpenDescriptorCount();
    EXPECT_EQ(QueryCode("127.0.0.1", server.port(), result), c.code);
    EXPECT_EQ(OpenDescriptorCount(), fds);
    EXPECT_EQ(result.stratum, -1);
    EXPECT_EQ(result.offset, 42.0);
    EXPECT_NE(result.T4.Value(), 0u);
  }
}

TEST(NtpClientQueryTest, SilentServerTimesOutOnceAfterFiveSeconds) {
  FakeNtpServer server([](const Bytes&) { return std::optional<Bytes>(); });
  NtpResult result;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(QueryCode("127.0.0.1", server.port(), result), kNtpErrorTimedOut);
  const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(waited, 4.99);
  EXPECT_LT(waited, 30.0);
  EXPECT_EQ(server.requests(), 1);  // no retry
  EXPECT_EQ(result.T4.Value(), 0u);
}

TEST(NtpClientQueryTest, ClosedPortIsReportedBySystemCode) {
  int port;
  {
    FakeNtpServer gone([](const Bytes&) { return std::optional<Bytes>(); });
    port = gone.port();
  }
  NtpResult result;
  EXPECT_EQ(QueryCode("127.0.0.1", port, result), ECONNREFUSED);
}

TEST(NtpClientQueryTest, UnresolvableHostFailsWithTheResolverCodeAndNoSocket) {
  const int fds = OpenDescriptorCount();
  NtpResult result;
  const int code = QueryCode("no-such-host.invalid", 123, result);
  addrinfo* list = nullptr;
  EXPECT_EQ(code, platform::GetAddressInfo("no-such-host.invalid", "123", 0, AF_UNSPEC, SOCK_DGRAM, 0, &list));
  EXPECT_LT(code, 0);
  EXPECT_EQ(OpenDescriptorCount(), fds);
}

}  // namespace
