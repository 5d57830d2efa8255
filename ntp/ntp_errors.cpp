#include "ntp/ntp_errors.h"

#include "res/strings.h"

const char* NtpErrorText(int code) {
  switch (code) {
    case kNtpErrorTimedOut: return res::kNtpErrorTimedOut;
    case kNtpErrorEmptyReply: return res::kNtpErrorEmptyReply;
    case kNtpErrorNotServerReply: return res::kNtpErrorNotServerReply;
    case kNtpErrorNotOurRequest: return res::kNtpErrorNotOurRequest;
    case kNtpErrorBadStratum: return res::kNtpErrorBadStratum;
    case kNtpErrorUnsynchronised: return res::kNtpErrorUnsynchronised;
    case kNtpErrorNoTransmitTime: return res::kNtpErrorNoTransmitTime;
    case kNtpErrorShortReply: return res::kNtpErrorShortReply;
    case kNtpErrorNoReceiveTime: return res::kNtpErrorNoReceiveTime;
    case kNtpErrorSentBeforeReceived: return res::kNtpErrorSentBeforeReceived;
    case kNtpErrorHeldTooLong: return res::kNtpErrorHeldTooLong;
    default: return nullptr;
  }
}
