#include "ntp/ntp_reply.h"

#include <cstring>

#include "ntp/ntp_errors.h"
#include "ntp/ntp_packet.h"
#include "platform/system_error.h"

int ReadNtpReply(const unsigned char* datagram, std::size_t size, const NtpTimestamp& request,
                 const NtpTimestamp& received, NtpResult& result) {
  if (size == 0) return kNtpErrorEmptyReply;
  if (size > kNtpReplyCapacity) return platform::kErrorMessageTooLong;
  // A cut header would be read with zeros in place of the missing bytes.
  if (size < kNtpPacketSize) return kNtpErrorShortReply;
  unsigned char reply[kNtpPacketSize];
  std::memcpy(reply, datagram, sizeof reply);

  const int leapIndicator = reply[0] >> 6;
  const int mode = reply[0] & 7;
  const int stratum = reply[1];
  NtpTimestamp t1, t2, t3;
  t1.FromNetwork(reply + kNtpOriginateOffset);
  t2.FromNetwork(reply + kNtpReceiveOffset);
  t3.FromNetwork(reply + kNtpTransmitOffset);

  // A stale or forged datagram, a kiss-o'-death or an unsynchronised server
  // would otherwise set the clock arbitrarily far off.
  if (mode != kNtpModeServer) return kNtpErrorNotServerReply;
  if (t1 != request) return kNtpErrorNotOurRequest;
  if (stratum < 1 || stratum > kNtpMaxStratum) return kNtpErrorBadStratum;
  if (leapIndicator == kNtpLeapAlarm) return kNtpErrorUnsynchronised;
  // A server that never filled a timestamp would put the clock decades off.
  if (t3.Value() == 0) return kNtpErrorNoTransmitTime;
  if (t2.Value() == 0) return kNtpErrorNoReceiveTime;
  // Times that contradict each other: answered before asked, or held
  // longer than the whole exchange took, which gives a negative delay.
  const double held = t3.SecondsSince(t2);
  if (held < 0) return kNtpErrorSentBeforeReceived;
  if (held > received.SecondsSince(t1)) return kNtpErrorHeldTooLong;

  result.leapIndicator = leapIndicator;
  result.stratum = stratum;
  result.T1 = t1;
  result.T2 = t2;
  result.T3 = t3;
  result.T4 = received;
  result.delay = received.SecondsSince(t1) - held;
  result.offset = (t2.SecondsSince(t1) + t3.SecondsSince(received)) * 0.5;
  return 0;
}
