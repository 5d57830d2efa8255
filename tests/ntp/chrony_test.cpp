// Real exchanges with chronyd on loopback. It reads the same clock as we do,
// so the offset is zero but for the time stamps' own errors, and the delay
// is the short loopback round trip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "ntp/ntp_client.h"
#include "ntp/wsocket_exception.h"
#include "tests/ntp/chrony_server.h"

namespace {

class ChronyTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<ChronyServer>(); }
  static void TearDownTestSuite() { server_.reset(); }

  void SetUp() override { ASSERT_EQ(server_->failure(), ""); }

  // A few queries: one may meet a scheduling hiccup, the median may not. A
  // time stamp cut to the millisecond would put it near half a millisecond.
  static void ExpectAgreement(const char* host) {
    std::vector<double> offsets;
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
      EXPECT_GE(result.delay, 0.0) << host;
      EXPECT_LT(result.delay, 0.1) << host;  // gross errors only: the machine may be busy
      EXPECT_EQ(result.stratum, 8);
      EXPECT_NE(result.leapIndicator, 3);
      offsets.push_back(std::fabs(result.offset));
    }
    std::nth_element(offsets.begin(), offsets.begin() + 3, offsets.end());
    EXPECT_LT(offsets[3], 0.0001) << host << ": median |offset|";
  }

  static std::unique_ptr<ChronyServer> server_;
};

std::unique_ptr<ChronyServer> ChronyTest::server_;

TEST_F(ChronyTest, AgreesOverIpv4) { ExpectAgreement("127.0.0.1"); }

TEST_F(ChronyTest, AgreesOverIpv6) { ExpectAgreement("::1"); }

}  // namespace
