// What one exchange with a server gave.
#pragma once

#include "ntp/ntp_timestamp.h"

struct NtpResult {
  int leapIndicator = 0;  // bits 7-6 of the reply's first byte
  int stratum = 0;
  NtpTimestamp T1;  // our send time, as the server echoed it
  NtpTimestamp T2;  // server time when the request arrived
  NtpTimestamp T3;  // server time when the reply left
  NtpTimestamp T4;  // our time when the reply was seen waiting
  double delay = 0.0;   // round trip minus the time spent in the server, seconds
  double offset = 0.0;  // server clock minus our clock, seconds
};
