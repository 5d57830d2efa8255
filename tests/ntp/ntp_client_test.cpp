#include "ntp/ntp_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "ntp/ntp_errors.h"
#include "ntp/wsocket_exception.h"
#include "platform/resolver.h"
#include "platform/system_error.h"
#include "tests/ntp/fake_ntp_server.h"
#include "tests/ntp/socket_message.h"
#include "tests/ntp/test_system.h"

namespace {

// The code of the CWSocketException that Query throws; 0 when it returns.
int QueryCode(const char* host, int port, NtpResult& result) {
  NtpClient client;
  return ThrownCode([&] { client.Query(host, result, port); });
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
  // The server is 0.5 s ahead and answers at once.
  EXPECT_NEAR(result.offset, 0.5 - result.T4.SecondsSince(result.T1) / 2, 1e-6);
  EXPECT_NEAR(result.delay, result.T4.SecondsSince(result.T1), 1e-6);
  EXPECT_EQ(result.stratum, 2);
  EXPECT_EQ(server.requests(), 1);
}

TEST(NtpClientQueryTest, ReplyWithAuthenticatorCounts) {
  for (std::size_t size : {48u, 68u}) {
    FakeNtpServer server([&](const Bytes& request) { return ServerReply(request, size); });
    NtpResult result;
    ASSERT_EQ(QueryCode("127.0.0.1", server.port(), result), 0) << size;
    EXPECT_NEAR(result.T2.SecondsSince(result.T1), 0.5, 1e-9);
    // However long the round trip took on a busy machine.
    EXPECT_NEAR(result.offset, 0.5 - result.T4.SecondsSince(result.T1) / 2, 1e-6);
  }
}

// A reply spoilt in one way.
Bytes Spoilt(const Bytes& request, void (*spoil)(Bytes&)) {
  Bytes reply = ServerReply(request);
  spoil(reply);
  return reply;
}

void Cut44(Bytes& r) { r.resize(44); }  // the transmit time without its fraction
void Oversize(Bytes& r) { r.resize(69); }
void Empty(Bytes& r) { r.clear(); }
void ClientMode(Bytes& r) { r[0] = 0x23; }
void OtherOriginate(Bytes& r) { r[27] ^= 0x40; }
void Stratum0(Bytes& r) { r[1] = 0; }
void Leap3(Bytes& r) { r[0] = 0xE4; }
void NoTransmitTime(Bytes& r) { std::fill(r.begin() + 40, r.end(), 0); }
void NoReceiveTime(Bytes& r) { std::fill(r.begin() + 32, r.begin() + 40, 0); }

TEST(NtpClientQueryTest, DatagramsThatFailTheChecksAreSkippedUntilTheReplyComes) {
  FakeNtpServer server([](const Bytes& request) {
    FakeNtpServer::Datagrams datagrams;
    for (auto spoil : {Cut44, Oversize, Empty, ClientMode, OtherOriginate, Stratum0, Leap3, NoTransmitTime, NoReceiveTime}) {
      datagrams.push_back(Spoilt(request, spoil));
    }
    datagrams.push_back(ServerReply(request));
    return datagrams;
  });
  NtpResult result;
  ASSERT_EQ(QueryCode("127.0.0.1", server.port(), result), 0);
  EXPECT_EQ(result.stratum, 2);
  EXPECT_NEAR(result.T3.SecondsSince(result.T1), 0.5, 1e-9);
  // The reply came after the nine others, 10 ms apart, so the round trip is
  // long (and longer still on a slow machine); the offset is the server's
  // half second less half of it.
  EXPECT_GT(result.delay, 0.06);
  EXPECT_LT(result.delay, 1.0);
  EXPECT_NEAR(result.offset, 0.5 - result.delay / 2, 1e-6);
  EXPECT_EQ(server.requests(), 1);
}

TEST(NtpClientQueryTest, WithoutAReplyThatCountsTheQueryFailsWhenTheTimeIsUp) {
  struct Case {
    const char* what;
    void (*spoil)(Bytes&);  // null: the server stays silent
    int code;               // the last datagram's reason, or the time-out
  };
  const Case cases[] = {
      {"silent", nullptr, kNtpErrorTimedOut},       {"cut header", Cut44, kNtpErrorShortReply},
      {"oversized", Oversize, platform::kErrorMessageTooLong}, {"empty datagram", Empty, kNtpErrorEmptyReply},
      {"mode 3", ClientMode, kNtpErrorNotServerReply}, {"wrong originate", OtherOriginate, kNtpErrorNotOurRequest},
      {"stratum 0", Stratum0, kNtpErrorBadStratum}, {"leap indicator 3", Leap3, kNtpErrorUnsynchronised},
  };
  // Each waits the whole time-out, so they run side by side.
  std::vector<std::unique_ptr<FakeNtpServer>> servers;
  for (const Case& c : cases) {
    auto spoil = c.spoil;
    servers.push_back(std::make_unique<FakeNtpServer>([spoil](const Bytes& request) {
      return spoil ? std::optional<Bytes>(Spoilt(request, spoil)) : std::nullopt;
    }));
  }
  struct Outcome {
    int code = -1;
    double waited = 0.0;
    NtpResult result;
  };
  std::vector<Outcome> outcomes(std::size(cases));
  const int fds = OpenDescriptorCount();
  std::vector<std::thread> queries;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    queries.emplace_back([&o = outcomes[i], port = servers[i]->port()] {
      o.result.stratum = -1;
      o.result.offset = 42.0;
      const auto start = std::chrono::steady_clock::now();
      o.code = QueryCode("127.0.0.1", port, o.result);
      o.waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    });
  }
  for (std::thread& t : queries) t.join();
  EXPECT_EQ(OpenDescriptorCount(), fds);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Outcome& o = outcomes[i];
    SCOPED_TRACE(cases[i].what);
    EXPECT_EQ(o.code, cases[i].code);
    EXPECT_GE(o.waited, 4.99);
    EXPECT_LT(o.waited, 30.0);
    EXPECT_EQ(servers[i]->requests(), 1);  // no retry
    EXPECT_EQ(o.result.stratum, -1);
    EXPECT_EQ(o.result.offset, 42.0);
    EXPECT_EQ(o.result.T4.Value() != 0, cases[i].spoil != nullptr);  // the arrival of what was skipped
  }
}

TEST(NtpClientQueryTest, ClosedPortIsReportedBySystemCode) {
  int port;
  {
    FakeNtpServer gone([](const Bytes&) { return std::optional<Bytes>(); });
    port = gone.port();
  }
  NtpResult result;
  EXPECT_EQ(QueryCode("127.0.0.1", port, result), ClosedPortCode());
}

TEST(NtpClientQueryTest, UnresolvableHostFailsWithTheResolverCodeAndNoSocket) {
  const int fds = OpenDescriptorCount();
  NtpResult result;
  const int code = QueryCode("bad..name", 123, result);
  addrinfo* list = nullptr;
  EXPECT_EQ(code, platform::GetAddressInfo("bad..name", "123", 0, platform::kAnyAddressFamily,
                                            platform::kDatagramSocket, 0, &list));
  EXPECT_EQ(code, platform::kErrorHostNotFound);
  EXPECT_EQ(OpenDescriptorCount(), fds);
}

}  // namespace
