// The codes with which an NTP query fails when no system call did, carried
// by CWSocketException. Their numbers keep clear of errno values and of the
// (negative) resolver codes.
#pragma once

// No reply within the time-out (the Windows Sockets "timed out" number).
inline constexpr int kNtpErrorTimedOut = 10060;
// The reply datagram was empty.
inline constexpr int kNtpErrorEmptyReply = 1226;

// A datagram that is not a usable answer to our request.
inline constexpr int kNtpErrorNotServerReply = 30001;   // mode is not 4 (server)
inline constexpr int kNtpErrorNotOurRequest = 30002;    // originate differs from our transmit time
inline constexpr int kNtpErrorBadStratum = 30003;       // stratum 0 (kiss-o'-death) or above 15
inline constexpr int kNtpErrorUnsynchronised = 30004;   // leap indicator 3
inline constexpr int kNtpErrorNoTransmitTime = 30005;   // transmit timestamp is zero
inline constexpr int kNtpErrorShortReply = 30006;       // shorter than the 48-byte header
inline constexpr int kNtpErrorNoReceiveTime = 30007;    // receive timestamp is zero
inline constexpr int kNtpErrorSentBeforeReceived = 30008;  // transmit timestamp before the receive one
inline constexpr int kNtpErrorHeldTooLong = 30009;      // held longer than the round trip took

// The text of one of the codes above, or null for any other code.
const char* NtpErrorText(int code);
