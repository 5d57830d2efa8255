// JJY (Japan, 40 and 60 kHz): Japan Standard Time, UTC+9 all year, of the
// minute in progress. The call sign and service notices of minutes 15 and
// 45 are not sent; every minute has the ordinary frame.
#include "signal/station_table.h"
#include "signal/stations/time_code.h"

void EncodeJjyFrame(platform::Time64 start, StationFrame& frame) {
  constexpr auto msb = BitOrder::kMsbFirst;
  const platform::CivilTime t = CivilTimeAt(start, 9);
  frame = {};
  PutJjyWwvbHead(frame, t);
  frame[36] = CountOnes(frame, 12, 18) % 2;  // PA1, hour
  frame[37] = CountOnes(frame, 1, 8) % 2;    // PA2, minute
  PutBits(frame, 41, 4, static_cast<unsigned>(t.year) / 10 % 10, msb);
  PutBits(frame, 45, 4, static_cast<unsigned>(t.year) % 10, msb);
  PutBits(frame, 50, 3, t.weekday - 1, msb);  // 0 = Sunday ... 6 = Saturday
  for (unsigned i : {39, 49, 59}) frame[i] = kMarkerSymbol;
}
