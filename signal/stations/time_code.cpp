#include "signal/stations/time_code.h"

void PutBits(StationFrame& bits, unsigned first, unsigned count, unsigned value, BitOrder order) {
  for (unsigned i = 0; i < count; ++i) {
    const unsigned shift = order == BitOrder::kLsbFirst ? i : count - 1 - i;
    bits[first + i] = static_cast<std::uint8_t>(value >> shift & 1);
  }
}

unsigned CountOnes(const StationFrame& bits, unsigned first, unsigned last) {
  unsigned ones = 0;
  for (unsigned i = first; i <= last; ++i) ones += bits[i] == 1;
  return ones;
}

void PutJjyWwvbHead(StationFrame& frame, const platform::CivilTime& t) {
  constexpr auto msb = BitOrder::kMsbFirst;
  for (unsigned i = 0; i <= 35; ++i) frame[i] = 0;
  for (unsigned i : {0, 9, 19, 29}) frame[i] = kMarkerSymbol;
  PutBits(frame, 1, 3, t.minute / 10, msb);
  PutBits(frame, 5, 4, t.minute % 10, msb);
  PutBits(frame, 12, 2, t.hour / 10, msb);
  PutBits(frame, 15, 4, t.hour % 10, msb);
  PutBits(frame, 22, 2, t.dayOfYear / 100, msb);
  PutBits(frame, 25, 4, t.dayOfYear / 10 % 10, msb);
  PutBits(frame, 30, 4, t.dayOfYear % 10, msb);
}
