// The 48-byte NTP header as the client sends and reads it. Multi-byte fields
// are kept as bytes in network order; timestamps go through
// NtpTimestamp::FromNetwork / ToNetwork.
#pragma once

#include <cstddef>

struct NtpPacket {
  unsigned char leapVersionMode;  // leap indicator bits 7-6, version 5-3, mode 2-0
  unsigned char stratum;
  unsigned char poll;
  unsigned char precision;
  unsigned char rootDelay[4];
  unsigned char rootDispersion[4];
  unsigned char referenceId[4];
  unsigned char referenceTimestamp[8];
  unsigned char originateTimestamp[8];  // T1 as the server echoes it
  unsigned char receiveTimestamp[8];    // T2
  unsigned char transmitTimestamp[8];   // our T1 in a request, T3 in a reply
};

inline constexpr std::size_t kNtpPacketSize = 48;
static_assert(sizeof(NtpPacket) == kNtpPacketSize);

// Leap indicator 0, version 3, mode 3 (client).
inline constexpr unsigned char kNtpClientRequestByte = 0x1B;
inline constexpr int kNtpModeServer = 4;
inline constexpr int kNtpLeapAlarm = 3;  // the server's clock is not synchronised
inline constexpr int kNtpMaxStratum = 15;

// The header plus room for an authenticator (key identifier and digest),
// which is never read. A longer datagram fails to be received.
inline constexpr std::size_t kNtpReplyCapacity = kNtpPacketSize + 4 + 16;

// Byte offsets of the fields in a received datagram.
inline constexpr std::size_t kNtpOriginateOffset = offsetof(NtpPacket, originateTimestamp);
inline constexpr std::size_t kNtpReceiveOffset = offsetof(NtpPacket, receiveTimestamp);
inline constexpr std::size_t kNtpTransmitOffset = offsetof(NtpPacket, transmitTimestamp);
