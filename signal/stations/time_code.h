// What the 60-second time codes share: numbers written bit by bit into a
// frame whose symbols 0 and 1 are the bits themselves, and the seconds 0-35
// that JJY and WWVB have in common.
#pragma once

#include "platform/civil_time.h"
#include "platform/local_time.h"
#include "signal/station.h"

inline constexpr std::uint8_t kMarkerSymbol = 2;  // JJY, WWVB, DCF77

enum class BitOrder { kMsbFirst, kLsbFirst };

// Writes the low `count` bits of value into seconds first.. of bits.
void PutBits(StationFrame& bits, unsigned first, unsigned count, unsigned value, BitOrder order);

// The number of 1s in seconds first..last.
unsigned CountOnes(const StationFrame& bits, unsigned first, unsigned last);

// JJY and WWVB: markers at 0, 9, 19, 29; minute, hour and day of year in
// seconds 1-33; the unused seconds 0. Seconds 36-59 are left to the caller.
void PutJjyWwvbHead(StationFrame& frame, const platform::CivilTime& t);

// The fields of utc + offsetHours hours: a station carries its own
// country's time whatever zone the computer is set to.
inline platform::CivilTime CivilTimeAt(platform::Time64 utc, int offsetHours) {
  return platform::CivilTimeOf(utc + offsetHours * 3600LL);
}
