// Reading a server's reply: the checks that make a datagram count as the
// answer to our request, and the offset and delay it gives.
#pragma once

#include <cstddef>

#include "ntp/ntp_result.h"
#include "ntp/ntp_timestamp.h"

// datagram/size: the bytes received. request: the transmit timestamp we
// sent. received: our time when the reply was seen (T4).
//
// A reply counts when it holds the whole 48-byte header and is not longer
// than kNtpReplyCapacity, its mode is 4 (server), its originate timestamp
// equals request, its stratum is 1..15, its leap indicator is not 3 and its
// receive and transmit timestamps are not zero. Then result gets leap indicator, stratum, T1..T4, delay and
// offset, and the return is 0. Otherwise the return is the failure code
// (ntp_errors.h for an empty datagram, a cut header and the checks,
// EMSGSIZE for an oversized datagram) and result is left as it was.
int ReadNtpReply(const unsigned char* datagram, std::size_t size, const NtpTimestamp& request,
                 const NtpTimestamp& received, NtpResult& result);
