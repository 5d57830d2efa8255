#include "ntp/wsocket.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>

#include <cerrno>
#include <cstring>

#include "ntp/ntp_errors.h"
#include "ntp/wsocket_exception.h"
#include "tests/ntp/fake_ntp_server.h"

namespace {

// The code thrown by f, or 0 when it returns.
template <typename F>
int ThrownCode(F f) {
  try {
    f();
  } catch (CWSocketException* e) {
    const int code = e->m_nError;
    e->Delete();
    return code;
  }
  return 0;
}

std::string Message(int code, UINT capacity, BOOL* found = nullptr) {
  char buffer[256];
  std::memset(buffer, 'x', sizeof buffer);
  UINT help = 77;
  CWSocketException e(code);
  const BOOL ok = e.GetErrorMessage(buffer, capacity, &help);
  EXPECT_EQ(help, 0u);
  if (found) *found = ok;
  return buffer;
}

TEST(CWSocketTest, UnresolvableHostThrowsTheResolverCodeWithoutOpeningASocket) {
  CWSocket socket;
  const int fds = OpenDescriptorCount();
  const int code = ThrownCode([&] { socket.ConnectToHost("bad..name", 123, SOCK_DGRAM, AF_UNSPEC, 0); });
  EXPECT_LT(code, 0);
  EXPECT_FALSE(socket.IsOpen());
  EXPECT_EQ(OpenDescriptorCount(), fds);
}

TEST(CWSocketTest, LiteralAddressesConnectAndCloseIsRepeatable) {
  for (const char* host : {"127.0.0.1", "::1"}) {
    SCOPED_TRACE(host);
    FakeNtpServer server([](const Bytes& request) { return request; }, host);
    CWSocket socket;
    ASSERT_EQ(ThrownCode([&] { socket.ConnectToHost(host, static_cast<UINT>(server.port()), SOCK_DGRAM, AF_UNSPEC, 0); }), 0);
    ASSERT_TRUE(socket.IsOpen());
    const char ping[] = "ping";
    EXPECT_EQ(socket.Send(ping, 4, 0), 4);
    EXPECT_TRUE(socket.WaitReadable(2000));
    char echo[8] = {};
    EXPECT_EQ(socket.Receive(echo, sizeof echo, 0), 4);
    EXPECT_STREQ(echo, "ping");
    EXPECT_EQ(socket.Close(), 0);
    EXPECT_EQ(socket.Close(), -1);
    EXPECT_FALSE(socket.IsOpen());
  }
}

TEST(CWSocketTest, FailedCallsThrowTheSystemCode) {
  CWSocket socket;
  EXPECT_EQ(ThrownCode([&] { socket.Create(SOCK_DGRAM, 0, 12345); }), EAFNOSUPPORT);
  EXPECT_FALSE(socket.IsOpen());
  EXPECT_EQ(ThrownCode([&] { socket.Send("x", 1, 0); }), EBADF);
  socket.SetBindAddress("bad..name");
  EXPECT_LT(ThrownCode([&] { socket.ConnectToHost("127.0.0.1", 123, SOCK_DGRAM, AF_UNSPEC, 0); }), 0);
}

TEST(CWSocketTest, LocalBindAddressIsBoundWithTheServicePort) {
  FakeNtpServer server([](const Bytes& request) { return request; });
  CWSocket socket;
  socket.SetBindAddress("127.0.0.1");
  // The local port is the service too; that of the server is taken.
  EXPECT_EQ(ThrownCode([&] { socket.ConnectToHost("127.0.0.1", static_cast<UINT>(server.port()), SOCK_DGRAM, AF_INET, 0); }),
            EADDRINUSE);
}

TEST(CWSocketExceptionTest, MessagesComeFromTheSystemOrTheNtpCodes) {
  BOOL found = FALSE;
  EXPECT_EQ(Message(ECONNREFUSED, 256, &found), "Connection refused");
  EXPECT_EQ(found, TRUE);
  EXPECT_EQ(Message(EAI_NONAME, 256), gai_strerror(EAI_NONAME));
  EXPECT_EQ(Message(kNtpErrorBadStratum, 256, &found).find("kiss-o'-death") != std::string::npos, true);
  EXPECT_EQ(found, TRUE);
  EXPECT_EQ(Message(kNtpErrorTimedOut, 256), "the server did not answer within 5 seconds");
  EXPECT_EQ(Message(99999, 256, &found), "");
  EXPECT_EQ(found, FALSE);
  EXPECT_EQ(Message(-999, 256, &found), "");
  EXPECT_EQ(found, FALSE);
  EXPECT_EQ(Message(ECONNREFUSED, 5, &found), "Conn");
  EXPECT_EQ(found, TRUE);
}

TEST(CWSocketExceptionTest, ThrowSocketErrorFallsBackToTheLastSocketError) {
  errno = ETIMEDOUT;
  EXPECT_EQ(ThrownCode([] { ThrowSocketError(0); }), ETIMEDOUT);
  EXPECT_EQ(ThrownCode([] { ThrowSocketError(1226); }), 1226);
}

}  // namespace
