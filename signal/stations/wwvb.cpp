// WWVB (USA): UTC of the minute in progress, DUT1 sent as +0, and the US
// daylight-saving bits, which are set per UTC day.
#include <chrono>

#include "signal/station_table.h"
#include "signal/stations/summer_time.h"
#include "signal/stations/time_code.h"

void EncodeWwvbFrame(platform::Time64 start, StationFrame& frame) {
  constexpr auto msb = BitOrder::kMsbFirst;
  const platform::CivilTime t = CivilTimeAt(start, 0);
  const unsigned year = static_cast<unsigned>(t.year);
  const WwvbDstBits dst = WwvbDstBitsFor(start);
  frame = {};
  PutJjyWwvbHead(frame, t);
  PutBits(frame, 36, 3, 0b101, msb);  // DUT1 sign "+"; magnitude 40-43 stays 0
  PutBits(frame, 45, 4, year / 10 % 10, msb);
  PutBits(frame, 50, 4, year % 10, msb);
  frame[55] = std::chrono::year{t.year}.is_leap();
  frame[57] = dst.atEndOfDay;
  frame[58] = dst.atStartOfDay;
  for (unsigned i : {39, 49, 59}) frame[i] = kMarkerSymbol;
}
