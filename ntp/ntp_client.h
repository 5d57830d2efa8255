// One SNTP exchange with a server (one request, one reply, no retry), and
// the setting of the system clock under the time privilege.
#pragma once

#include <string>

#include "ntp/ntp_result.h"
#include "ntp/ntp_timestamp.h"
#include "afx/afx_types.h"

// The port of the NTP service, where a query goes unless told otherwise.
inline constexpr int kNtpPort = 123;

class NtpClient {
 public:
  NtpClient() = default;
  ~NtpClient();
  NtpClient(const NtpClient&) = delete;
  NtpClient& operator=(const NtpClient&) = delete;

  // Asks host (a name or a literal IPv4/IPv6 address) on port for the time.
  // Datagrams that fail the reply checks (ntp_reply.h) are skipped until one
  // counts or the time-out passes. Throws CWSocketException* on any failure:
  // the resolver's or the system's code, the time-out, or, when datagrams
  // came but none counted, the last one's code. result.T4 is written as
  // soon as a datagram is seen, the other fields only for a reply that
  // counts.
  void Query(const char* host, NtpResult& result, int port);

  // Sets the system clock to time (UTC): with the process's own privilege
  // raised only around the change where it holds it, otherwise through the
  // system's time service (by the offset from now, asking for an
  // administrator's password). FALSE, with errno from the step that failed
  // (EPERM when the service refused) and the service's reason in
  // ClockError(), when the clock was not set. Never throws.
  BOOL SetSystemClock(const NtpTimestamp& time);
  // Why the time service refused the last SetSystemClock (GBK); empty when
  // it was not asked or agreed.
  const std::string& ClockError() const { return m_sClockError; }

  BOOL EnableSystemTimePrivilege();
  BOOL DisableSystemTimePrivilege();
  // True only between a successful Enable and the next Disable.
  bool IsPrivilegeEnabled() const { return m_bPrivilegeEnabled; }

 private:
  const UINT m_nTimeout = 5000;  // milliseconds
  std::string m_sBindAddress;    // empty: sockets are not bound explicitly
  bool m_bPrivilegeEnabled = false;
  std::string m_sClockError;
};
