// Any bytes as the datagram that answers our request: the reply checks and
// the offset and delay computed from what passes them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ntp/ntp_packet.h"
#include "ntp/ntp_reply.h"

namespace {

// The request the seeds answer: 2017-03-08 00:00:00.500, seen back 10 ms later.
constexpr NtpTimestamp kRequest(0xDC69C80080000000ULL);
constexpr NtpTimestamp kArrival(0xDC69C800828F5C28ULL);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  NtpResult result;
  result.stratum = -1;
  const int code = ReadNtpReply(data, size, kRequest, kArrival, result);
  if (code != 0) {
    if (result.stratum != -1) std::abort();  // a rejected reply must leave the result alone
    return 0;
  }
  if (size < kNtpPacketSize || size > kNtpReplyCapacity || (data[0] & 7) != kNtpModeServer) std::abort();
  if (result.T1 != kRequest || result.T4 != kArrival || result.T3.Value() == 0) std::abort();
  if (result.stratum < 1 || result.stratum > kNtpMaxStratum || result.leapIndicator == kNtpLeapAlarm) std::abort();
  // What the calibration does with the offset, and the clock it would set.
  const NtpTimestamp target = kArrival.AddSeconds(result.offset);
  const platform::SYSTEMTIME st = target.ToSystemTime();
  if (st.wYear != 0 && (st.wMonth < 1 || st.wMonth > 12 || st.wMilliseconds > 999)) std::abort();
  return 0;
}
