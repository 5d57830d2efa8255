// One SNTP exchange with a server (one request, one reply, no retry), and
// the setting of the system clock under the time privilege.
#pragma once

#include <string>

#include "ntp/ntp_result.h"
#include "ntp/ntp_timestamp.h"
#include "ui/framework/core/afx_types.h"

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

  // Sets the system clock to time (UTC) with the privilege raised only
  // around the change. FALSE, with errno from the step that failed, when the
  // privilege is missing or the system refuses the time. Never throws.
  BOOL SetSystemClock(const NtpTimestamp& time);

  BOOL EnableSystemTimePrivilege();
  BOOL DisableSystemTimePrivilege();
  // True only between a successful Enable and the next Disable.
  bool IsPrivilegeEnabled() const { return m_bPrivilegeEnabled; }

 private:
  const UINT m_nTimeout = 5000;  // milliseconds
  std::string m_sBindAddress;    // empty: sockets are not bound explicitly
  bool m_bPrivilegeEnabled = false;
};
