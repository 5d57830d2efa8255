#include "ntp/ntp_client.h"

#include <cerrno>

#include "ntp/ntp_errors.h"
#include "ntp/ntp_packet.h"
#include "ntp/ntp_reply.h"
#include "ntp/wsocket.h"
#include "ntp/wsocket_exception.h"
#include "platform/system_clock.h"
#include "platform/time_privilege.h"

NtpClient::~NtpClient() {
  if (m_bPrivilegeEnabled) DisableSystemTimePrivilege();
}

void NtpClient::Query(const char* host, NtpResult& result, int port) {
  CWSocket socket;  // closed on every way out
  socket.SetBindAddress(m_sBindAddress);
  socket.ConnectToHost(host, static_cast<UINT>(port), SOCK_DGRAM, AF_UNSPEC, 0);

  NtpPacket request{};
  request.leapVersionMode = kNtpClientRequestByte;
  const NtpTimestamp sent = NtpTimestamp::Now();
  sent.ToNetwork(request.transmitTimestamp);
  socket.Send(&request, sizeof request, 0);

  if (!socket.WaitReadable(m_nTimeout)) ThrowSocketError(kNtpErrorTimedOut);
  result.T4 = NtpTimestamp::Now();

  unsigned char reply[kNtpReplyCapacity] = {};
  const int size = socket.Receive(reply, sizeof reply, 0);
  if (int code = ReadNtpReply(reply, static_cast<std::size_t>(size), sent, result.T4, result)) ThrowSocketError(code);
}

BOOL NtpClient::SetSystemClock(const NtpTimestamp& time) {
  if (!EnableSystemTimePrivilege()) return FALSE;
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
