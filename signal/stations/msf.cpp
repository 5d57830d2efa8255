// MSF (UK): the frame sent in one minute carries the next (GMT, or BST in EU
// summer time). Each second after the minute marker carries two bits, A and
// B; DUT1 is sent as 0, so B is 0 up to second 52.
#include "signal/station_table.h"
#include "signal/stations/summer_time.h"
#include "signal/stations/time_code.h"

namespace {
constexpr std::uint8_t kMinuteMarker = 0;
// Odd parity: the check bit makes the ones of the field and itself odd.
std::uint8_t OddParity(const StationFrame& a, unsigned first, unsigned last) {
  return CountOnes(a, first, last) % 2 == 0;
}
}  // namespace

void EncodeMsfFrame(platform::Time64 start, StationFrame& frame) {
  constexpr auto msb = BitOrder::kMsbFirst;
  const platform::Time64 carried = start + 60;
  const bool summer = InEuSummerTime(carried);
  const platform::CivilTime t = CivilTimeAt(carried, summer ? 1 : 0);
  StationFrame a{};
  StationFrame b{};
  PutBits(a, 17, 4, static_cast<unsigned>(t.year) / 10 % 10, msb);
  PutBits(a, 21, 4, static_cast<unsigned>(t.year) % 10, msb);
  PutBits(a, 25, 1, t.month / 10, msb);
  PutBits(a, 26, 4, t.month % 10, msb);
  PutBits(a, 30, 2, t.day / 10, msb);
  PutBits(a, 32, 4, t.day % 10, msb);
  PutBits(a, 36, 3, t.weekday - 1, msb);  // 0 = Sunday ... 6 = Saturday
  PutBits(a, 39, 2, t.hour / 10, msb);
  PutBits(a, 41, 4, t.hour % 10, msb);
  PutBits(a, 45, 3, t.minute / 10, msb);
  PutBits(a, 48, 4, t.minute % 10, msb);
  PutBits(a, 52, 8, 0b01111110, msb);  // the minute identifier
  // 53B: the 61 frames before a change, the last of them carrying it.
  b[53] = EuChangeWithin(start, start + 61 * 60);
  b[54] = OddParity(a, 17, 24);
  b[55] = OddParity(a, 25, 35);
  b[56] = OddParity(a, 36, 38);
  b[57] = OddParity(a, 39, 51);
  b[58] = summer;
  frame[0] = kMinuteMarker;
  for (unsigned i = 1; i < 60; ++i) frame[i] = static_cast<std::uint8_t>(1 + a[i] + 2 * b[i]);
}
