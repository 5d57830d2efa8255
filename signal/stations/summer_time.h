// The summer-time rules the stations follow, each from UTC alone.
#pragma once

#include "platform/local_time.h"

// EU summer time: from the last Sunday of March, 01:00 UTC, up to (not
// including) the last Sunday of October, 01:00 UTC.
bool InEuSummerTime(platform::Time64 utc);

// Whether an EU change instant C falls in after < C <= upTo.
bool EuChangeWithin(platform::Time64 after, platform::Time64 upTo);

// WWVB's daylight-saving bits for the UTC day of `utc`, by the US rule
// (since 2007 the second Sunday of March to the first Sunday of November,
// before that the first Sunday of April to the last Sunday of October).
struct WwvbDstBits {
  bool atEndOfDay;    // bit 57: DST in effect at 24:00 UTC
  bool atStartOfDay;  // bit 58: DST in effect at 00:00 UTC
};
WwvbDstBits WwvbDstBitsFor(platform::Time64 utc);
