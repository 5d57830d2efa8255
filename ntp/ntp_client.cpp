#include "ntp/ntp_client.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>

#include "ntp/ntp_errors.h"
#include "ntp/ntp_packet.h"
#include "ntp/ntp_reply.h"
#include "ntp/wsocket.h"
#include "ntp/wsocket_exception.h"
#include "platform/system_clock.h"
#include "platform/system_error.h"
#include "platform/time_privilege.h"
#include "platform/time_service.h"

NtpClient::~NtpClient() {
  if (m_bPrivilegeEnabled) DisableSystemTimePrivilege();
}

void NtpClient::Query(const char* host, NtpResult& result, int port) {
  CWSocket socket;  // closed on every way out
  socket.SetBindAddress(m_sBindAddress);
  socket.ConnectToHost(host, static_cast<UINT>(port), platform::kDatagramSocket, platform::kAnyAddressFamily, 0);

  NtpPacket request{};
  request.leapVersionMode = kNtpClientRequestByte;
  const NtpTimestamp sent = NtpTimestamp::Now();
  sent.ToNetwork(request.transmitTimestamp);
  socket.Send(&request, sizeof request, 0);

  // A datagram that does not answer this request (a stray, a forgery, a
  // refusal) is dropped and the wait goes on, so that it cannot stand in
  // for the real reply behind it. Without a reply that counts the query
  // fails when the time is up, with the reason of the last datagram dropped.
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(m_nTimeout);
  int failure = kNtpErrorTimedOut;
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0 || !socket.WaitReadable(static_cast<UINT>(left))) ThrowSocketError(failure);
    result.T4 = NtpTimestamp::Now();

    unsigned char reply[kNtpReplyCapacity] = {};
    int size = 0;
    try {
      size = socket.Receive(reply, sizeof reply, 0);
    } catch (CWSocketException* e) {
      if (e->m_nError != platform::kErrorMessageTooLong) throw;  // the peer's or the system's error ends the query
      e->Delete();
      failure = platform::kErrorMessageTooLong;
      continue;
    }
    failure = ReadNtpReply(reply, static_cast<std::size_t>(size), sent, result.T4, result);
    if (failure == 0) return;
  }
}

BOOL NtpClient::SetSystemClock(const NtpTimestamp& time) {
  m_sClockError.clear();
  // Without a right of its own (root's, or one an administrator granted)
  // the process asks the system's time service, which asks for an
  // administrator's password. The service moves the clock by the offset
  // when it acts, so the time spent at the prompt costs nothing.
  if (!EnableSystemTimePrivilege()) {
    const auto offset = static_cast<std::int64_t>(std::llround(time.SecondsSince(NtpTimestamp::Now()) * 1e6));
    if (platform::SetTimeThroughService(offset, true, m_sClockError)) return TRUE;
    errno = platform::kErrorPermission;
    return FALSE;
  }
  const bool set = platform::SetSystemTime(time.ToSystemTime());
  const int error = errno;
  DisableSystemTimePrivilege();
  // The caller wants the clock call's reason, not the privilege call's.
  if (!set) errno = error;
  return set ? TRUE : FALSE;
}

BOOL NtpClient::EnableSystemTimePrivilege() {
  if (!platform::RaiseTimePrivilege()) return FALSE;
  m_bPrivilegeEnabled = true;
  return TRUE;
}

BOOL NtpClient::DisableSystemTimePrivilege() {
  const bool lowered = platform::LowerTimePrivilege();
  m_bPrivilegeEnabled = false;
  return lowered ? TRUE : FALSE;
}
