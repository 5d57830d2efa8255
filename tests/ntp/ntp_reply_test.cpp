#include "ntp/ntp_reply.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ntp/ntp_errors.h"
#include "platform/system_error.h"
#include "tests/ntp/fake_ntp_server.h"

namespace {

// All four timestamps on one scale, from 100 s.
NtpTimestamp At(double seconds) { return NtpTimestamp(100ULL << 32).AddSeconds(seconds - 100.0); }

Bytes Reply(NtpTimestamp t1, NtpTimestamp t2, NtpTimestamp t3, std::size_t size = 48) {
  Bytes reply(size, 0);
  Bytes header(48, 0);
  header[0] = 0x24;  // version 4, mode 4
  header[1] = 3;
  t1.ToNetwork(header.data() + 24);
  t2.ToNetwork(header.data() + 32);
  t3.ToNetwork(header.data() + 40);
  std::copy(header.begin(), header.begin() + static_cast<long>(std::min<std::size_t>(size, 48)), reply.begin());
  return reply;
}

class NtpReplyTest : public ::testing::Test {
 protected:
  int Read(const Bytes& datagram) { return ReadNtpReply(datagram.data(), datagram.size(), request_, t4_, result_); }

  NtpTimestamp request_ = At(100.000);
  NtpTimestamp t4_ = At(100.210);
  NtpResult result_;
};

TEST_F(NtpReplyTest, DelayExcludesServerTimeAndOffsetIsServerMinusLocal) {
  ASSERT_EQ(Read(Reply(At(100.000), At(100.600), At(100.610))), 0);
  EXPECT_NEAR(result_.delay, 0.200, 1e-6);
  EXPECT_NEAR(result_.offset, 0.500, 1e-6);
  EXPECT_EQ(result_.T1, request_);
  EXPECT_EQ(result_.T2, At(100.600));
  EXPECT_EQ(result_.T3, At(100.610));
  EXPECT_EQ(result_.T4, t4_);
  EXPECT_EQ(result_.stratum, 3);
  EXPECT_EQ(result_.leapIndicator, 0);
}

TEST_F(NtpReplyTest, AuthenticatorIsIgnoredButALongerDatagramIsNot) {
  Bytes withAuthenticator = Reply(At(100.000), At(100.600), At(100.610), 68);
  std::fill(withAuthenticator.begin() + 48, withAuthenticator.end(), 0xA5);
  ASSERT_EQ(Read(Reply(At(100.000), At(100.600), At(100.610), 48)), 0);
  const NtpResult plain = result_;
  result_ = NtpResult{};
  ASSERT_EQ(Read(withAuthenticator), 0);
  EXPECT_EQ(result_.T2, plain.T2);
  EXPECT_EQ(result_.T3, plain.T3);
  EXPECT_EQ(result_.delay, plain.delay);
  EXPECT_EQ(result_.offset, plain.offset);

  withAuthenticator.push_back(0);
  result_ = NtpResult{};
  EXPECT_EQ(Read(withAuthenticator), platform::kErrorMessageTooLong);
  EXPECT_EQ(result_.delay, 0.0);
  EXPECT_EQ(Read(Bytes{}), kNtpErrorEmptyReply);
}

TEST_F(NtpReplyTest, OnlyASynchronisedServerAnsweringOurRequestCounts) {
  struct Case {
    const char* what;
    void (*spoil)(Bytes&);
    int code;
  };
  const Case cases[] = {
      {"client mode", [](Bytes& r) { r[0] = 0x23; }, kNtpErrorNotServerReply},
      {"broadcast mode", [](Bytes& r) { r[0] = 0x25; }, kNtpErrorNotServerReply},
      {"zero originate", [](Bytes& r) { std::fill(r.begin() + 24, r.begin() + 32, 0); }, kNtpErrorNotOurRequest},
      {"stale originate", [](Bytes& r) { r[31] ^= 1; }, kNtpErrorNotOurRequest},
      {"kiss-o'-death", [](Bytes& r) { r[0] = 0xE4; r[1] = 0; }, kNtpErrorBadStratum},
      {"stratum 16", [](Bytes& r) { r[1] = 16; }, kNtpErrorBadStratum},
      {"leap indicator 3", [](Bytes& r) { r[0] = 0xE4; }, kNtpErrorUnsynchronised},
      {"zero transmit", [](Bytes& r) { std::fill(r.begin() + 40, r.end(), 0); }, kNtpErrorNoTransmitTime},
      {"zero receive", [](Bytes& r) { std::fill(r.begin() + 32, r.begin() + 40, 0); }, kNtpErrorNoReceiveTime},
      {"transmit before receive", [](Bytes& r) { std::swap_ranges(r.begin() + 32, r.begin() + 40, r.begin() + 40); },
       kNtpErrorSentBeforeReceived},
      {"held beyond the round trip", [](Bytes& r) { std::copy(r.begin() + 24, r.begin() + 32, r.begin() + 32); },
       kNtpErrorHeldTooLong},
      {"one byte", [](Bytes& r) { r.resize(1); }, kNtpErrorShortReply},
      {"transmit time cut", [](Bytes& r) { r.resize(44); }, kNtpErrorShortReply},
      {"one byte short of a header", [](Bytes& r) { r.resize(47); }, kNtpErrorShortReply},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes reply = Reply(At(100.000), At(100.600), At(100.610));
    c.spoil(reply);
    result_ = NtpResult{};
    EXPECT_EQ(Read(reply), c.code);
    EXPECT_EQ(result_.stratum, 0);  // nothing taken from a rejected reply
    EXPECT_EQ(result_.T3.Value(), 0u);
  }
}

TEST_F(NtpReplyTest, LeapWarningsAndTheOuterStrataAreAccepted) {
  for (unsigned char first : {0x64, 0xA4}) {  // leap indicator 1, 2
    Bytes reply = Reply(At(100.000), At(100.600), At(100.610));
    reply[0] = first;
    ASSERT_EQ(Read(reply), 0);
    EXPECT_EQ(result_.leapIndicator, first >> 6);
  }
  for (unsigned char stratum : {1, 15}) {
    Bytes reply = Reply(At(100.000), At(100.600), At(100.610));
    reply[1] = stratum;
    ASSERT_EQ(Read(reply), 0);
    EXPECT_EQ(result_.stratum, stratum);
  }
}

TEST_F(NtpReplyTest, ExchangeAcrossTheEraBoundaryGivesTheTrueOffset) {
  // Sent 0.2 s before the boundary; the server is 1 s ahead of us.
  request_ = NtpTimestamp(0).AddSeconds(-0.2);
  t4_ = request_.AddSeconds(0.1);
  ASSERT_EQ(Read(Reply(request_, request_.AddSeconds(1.04), request_.AddSeconds(1.06))), 0);
  EXPECT_EQ(result_.T2.Seconds(), 0u);
  EXPECT_NEAR(result_.offset, 1.0, 1e-6);
  EXPECT_NEAR(result_.delay, 0.08, 1e-6);
}

}  // namespace
