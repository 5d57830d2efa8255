// DCF77 (Germany): the frame sent in one minute carries the next (CET, or
// CEST in EU summer time), announced at the minute mark that ends it.
#include "signal/station_table.h"
#include "signal/stations/summer_time.h"
#include "signal/stations/time_code.h"

void EncodeDcf77Frame(platform::Time64 start, StationFrame& frame) {
  constexpr auto lsb = BitOrder::kLsbFirst;
  const platform::Time64 carried = start + 60;
  const bool summer = InEuSummerTime(carried);
  const platform::CivilTime t = CivilTimeAt(carried, summer ? 2 : 1);
  const unsigned year = static_cast<unsigned>(t.year) % 100;
  frame = {};
  // A1 for the hour of frames that ends with the one carrying a change.
  frame[16] = EuChangeWithin(start, start + 3600);
  frame[17] = summer;
  frame[18] = !summer;
  frame[20] = 1;
  PutBits(frame, 21, 4, t.minute % 10, lsb);
  PutBits(frame, 25, 3, t.minute / 10, lsb);
  frame[28] = CountOnes(frame, 21, 27) % 2;
  PutBits(frame, 29, 4, t.hour % 10, lsb);
  PutBits(frame, 33, 2, t.hour / 10, lsb);
  frame[35] = CountOnes(frame, 29, 34) % 2;
  PutBits(frame, 36, 4, t.day % 10, lsb);
  PutBits(frame, 40, 2, t.day / 10, lsb);
  PutBits(frame, 42, 3, t.weekday == 1 ? 7 : t.weekday - 1, lsb);  // 1 = Monday ... 7 = Sunday
  PutBits(frame, 45, 4, t.month % 10, lsb);
  PutBits(frame, 49, 1, t.month / 10, lsb);
  PutBits(frame, 50, 4, year % 10, lsb);
  PutBits(frame, 54, 4, year / 10, lsb);
  frame[58] = CountOnes(frame, 36, 57) % 2;
  frame[59] = kMarkerSymbol;
}
