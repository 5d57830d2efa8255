// Real exchanges with chronyd on loopback. It reads the same clock as we do,
// so the offset is zero but for our millisecond resolution.
#include <gtest/gtest.h>

#include <memory>

#include "ntp/ntp_client.h"
#include "ntp/wsocket_exception.h"
#include "tests/ntp/chrony_server.h"

namespace {

class ChronyTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<ChronyServer>(); }
  static void TearDownTestSuite() { server_.reset(); }

  void SetUp() override { ASSERT_EQ(server_->failure(), ""); }

  static void ExpectAgreement(const char* host) {
    NtpClient client;
    NtpResult result;
    try {
      client.Query(host, result, server_->port());
    } catch (CWSocketException* e) {
      ADD_FAILURE() << host << ": error " << e->m_nError;
      e->Delete();
      return;
    }
    EXPECT_NEAR(result.offset, 0.0, 0.002) << host;
    EXPECT_LT(result.delay, 0.002) << host;
    EXPECT_GT(result.delay, -0.002) << host;
    EXPECT_EQ(result.stratum, 8);
    EXPECT_NE(result.leapIndicator, 3);
  }

  static std::unique_ptr<ChronyServer> server_;
};

std::unique_ptr<ChronyServer> ChronyTest::server_;

TEST_F(ChronyTest, AgreesOverIpv4) { ExpectAgreement("127.0.0.1"); }

TEST_F(ChronyTest, AgreesOverIpv6) { ExpectAgreement("::1"); }

}  // namespace
