// Real exchanges with chronyd on loopback. It reads the same clock as we do,
// so the true offset is zero; what a reply can show of it is bounded by the
// round trip and by the ticks of the clocks that stamped it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "ntp/ntp_client.h"
#include "ntp/wsocket_exception.h"
#include "platform/system_clock.h"
#include "tests/ntp/chrony_server.h"

namespace {

// The smallest step our clock is seen to take, in seconds: its tick, or
// the time one reading takes where that is longer. Windows' clock may be
// coarse, so it is measured rather than assumed.
double ClientClockTick() {
  std::int64_t smallest = std::numeric_limits<std::int64_t>::max();
  for (int i = 0; i < 20; ++i) {
    const std::int64_t start = platform::GetSystemTimeNanoseconds();
    std::int64_t now = start;
    while (now == start) now = platform::GetSystemTimeNanoseconds();
    if (now > start) smallest = std::min(smallest, now - start);
  }
  return static_cast<double>(smallest) / 1e9;
}

// chronyd stamps with Linux's nanosecond clock and fills the bits below its
// measured precision (tens of nanoseconds) at random: a microsecond bounds it.
constexpr double kServerClockTick = 1e-6;

class ChronyTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<ChronyServer>(); }
  static void TearDownTestSuite() { server_.reset(); }

  void SetUp() override { ASSERT_EQ(server_->failure(), ""); }

  // Two readings of one clock: the offset lies within half the round trip,
  // however the machine delays either way, and each of the four time stamps
  // can be a tick of its clock early, which moves the offset and half the
  // delay by half a tick each.
  static void ExpectAgreement(const char* host) {
    const double ticks = ClientClockTick() + kServerClockTick;
    for (int i = 0; i < 7; ++i) {
      NtpClient client;
      NtpResult result;
      try {
        client.Query(host, result, server_->port());
      } catch (CWSocketException* e) {
        ADD_FAILURE() << host << ": error " << e->m_nError;
        e->Delete();
        return;
      }
      EXPECT_GE(result.delay, -ticks) << host;
      EXPECT_LT(result.delay, 1.0) << host;  // gross errors only: the machine may be busy
      EXPECT_LE(std::fabs(result.offset), result.delay / 2 + 2 * ticks)
          << host << ": delay " << result.delay << " s, clock ticks " << ticks << " s";
      EXPECT_EQ(result.stratum, 8);
      EXPECT_NE(result.leapIndicator, 3);
    }
  }

  static std::unique_ptr<ChronyServer> server_;
};

std::unique_ptr<ChronyServer> ChronyTest::server_;

TEST_F(ChronyTest, AgreesOverIpv4) { ExpectAgreement("127.0.0.1"); }

TEST_F(ChronyTest, AgreesOverIpv6) { ExpectAgreement("::1"); }

}  // namespace
