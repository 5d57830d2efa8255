#include "ntp/wsocket.h"

#include <gtest/gtest.h>

#include "ntp/ntp_errors.h"
#include "ntp/wsocket_exception.h"
#include "platform/sockets.h"
#include "platform/system_error.h"
#include "tests/ntp/fake_ntp_server.h"
#include "tests/ntp/socket_message.h"

namespace {

constexpr int kUdp = platform::kDatagramSocket;
constexpr int kAnyFamily = platform::kAnyAddressFamily;

TEST(CWSocketTest, UnresolvableHostThrowsTheResolverCodeWithoutOpeningASocket) {
  CWSocket socket;
  const int fds = OpenDescriptorCount();
  const int code = ThrownCode([&] { socket.ConnectToHost("bad..name", 123, kUdp, kAnyFamily, 0); });
  EXPECT_EQ(code, platform::kErrorHostNotFound);
  EXPECT_FALSE(socket.IsOpen());
  EXPECT_EQ(OpenDescriptorCount(), fds);
}

TEST(CWSocketTest, LiteralAddressesConnectAndCloseIsRepeatable) {
  for (const char* host : {"127.0.0.1", "::1"}) {
    SCOPED_TRACE(host);
    FakeNtpServer server([](const Bytes& request) { return request; }, host);
    CWSocket socket;
    const int fds = OpenDescriptorCount();
    ASSERT_EQ(ThrownCode([&] { socket.ConnectToHost(host, static_cast<UINT>(server.port()), kUdp, kAnyFamily, 0); }), 0);
    ASSERT_TRUE(socket.IsOpen());
    EXPECT_EQ(OpenDescriptorCount(), fds + 1);
    const char ping[] = "ping";
    EXPECT_EQ(socket.Send(ping, 4, 0), 4);
    EXPECT_TRUE(socket.WaitReadable(2000));
    char echo[8] = {};
    EXPECT_EQ(socket.Receive(echo, sizeof echo, 0), 4);
    EXPECT_STREQ(echo, "ping");
    EXPECT_EQ(socket.Close(), 0);
    EXPECT_EQ(socket.Close(), -1);
    EXPECT_FALSE(socket.IsOpen());
    EXPECT_EQ(OpenDescriptorCount(), fds);
  }
}

TEST(CWSocketTest, FailedCallsThrowTheSystemCode) {
  CWSocket socket;
  EXPECT_EQ(ThrownCode([&] { socket.Create(kUdp, 0, 12345); }), platform::kErrorAddressFamily);
  EXPECT_FALSE(socket.IsOpen());
  EXPECT_EQ(ThrownCode([&] { socket.Send("x", 1, 0); }), platform::kErrorNotASocket);
  socket.SetBindAddress("bad..name");
  EXPECT_EQ(ThrownCode([&] { socket.ConnectToHost("127.0.0.1", 123, kUdp, kAnyFamily, 0); }),
            platform::kErrorHostNotFound);
}

TEST(CWSocketTest, LocalBindAddressIsBoundWithTheServicePort) {
  FakeNtpServer server([](const Bytes& request) { return request; });
  CWSocket socket;
  socket.SetBindAddress("127.0.0.1");
  // The local port is the service too; that of the server is taken.
  const auto port = static_cast<UINT>(server.port());
  EXPECT_EQ(ThrownCode([&] { socket.ConnectToHost("127.0.0.1", port, kUdp, platform::kIPv4, 0); }),
            platform::kErrorAddressInUse);
}

// The system's own words are checked beside this file, per system.
TEST(CWSocketExceptionTest, MessagesOfTheNtpCodesAndNoneForUnknownCodes) {
  BOOL found = FALSE;
  EXPECT_EQ(Message(kNtpErrorBadStratum, 256, &found).find("kiss-o'-death") != std::string::npos, true);
  EXPECT_EQ(found, TRUE);
  EXPECT_EQ(Message(kNtpErrorTimedOut, 256), "the server did not answer within 5 seconds");
  EXPECT_EQ(Message(kNtpErrorTimedOut, 8), "the ser");
  EXPECT_EQ(Message(99999, 256, &found), "");
  EXPECT_EQ(found, FALSE);
  EXPECT_EQ(Message(-999, 256, &found), "");
  EXPECT_EQ(found, FALSE);
}

TEST(CWSocketExceptionTest, ThrowSocketErrorFallsBackToTheLastSocketError) {
  platform::SetLastSocketError(platform::kErrorAddressInUse);
  EXPECT_EQ(ThrownCode([] { ThrowSocketError(0); }), platform::kErrorAddressInUse);
  EXPECT_EQ(ThrownCode([] { ThrowSocketError(1226); }), 1226);
}

}  // namespace
