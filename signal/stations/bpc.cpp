// BPC (China): 20-second frames from second 0, 20 or 40, carrying the
// computer's local time of the frame's second 1.
#include "signal/stations/bpc.h"

#include <cstring>

#include "signal/station_table.h"

namespace {

// Splits value into a freshly zeroed buffer, so digits above the highest
// one read as 0.
struct Digits {
  explicit Digits(int value) {
    std::memset(d, 0, sizeof d);
    SplitDigits(value, d, 4);
  }
  std::uint8_t d[kSplitDigitsCapacity];
};

int SumOfSymbolBits(const BpcFrame& frame, int from, int to) {
  int sum = 0;
  for (int i = from; i <= to; ++i) sum += CountSymbolBits(frame[i]);
  return sum;
}

}  // namespace

int SplitDigits(int value, std::uint8_t (&digits)[kSplitDigitsCapacity], int base) {
  if (base < 2) return 0;
  int count = 0;
  while (value >= 1) {
    digits[count++] = static_cast<std::uint8_t>(value % base);
    value /= base;
  }
  return count;
}

int CountSymbolBits(int symbol) {
  switch (symbol) {
    case 1:
    case 2:
      return 1;
    case 3:
      return 2;
    default:
      return 0;
  }
}

void EncodeBpcFrame(int year, int month, int day, int weekday, unsigned hour, int minute, int second,
                    BpcFrame& frame) {
  frame[0] = 0;
  if (second == 1) {
    frame[1] = 0;
  } else if (second == 21) {
    frame[1] = 1;
  } else if (second == 41) {
    frame[1] = 2;
  }
  frame[2] = 0;

  Digits h(static_cast<int>(hour % 12));
  frame[3] = h.d[1];
  frame[4] = h.d[0];

  Digits m(minute);
  frame[5] = m.d[2];
  frame[6] = m.d[1];
  frame[7] = m.d[0];

  Digits w(weekday == 1 ? 7 : weekday - 1);  // on air: 1 = Monday ... 7 = Sunday
  frame[8] = w.d[1];
  frame[9] = w.d[0];

  int firstParity = SumOfSymbolBits(frame, 1, 9) & 1;
  frame[10] = static_cast<std::uint8_t>(firstParity + (hour >= 12 ? 2 : 0));

  Digits d(day);
  frame[11] = d.d[2];
  frame[12] = d.d[1];
  frame[13] = d.d[0];

  Digits mo(month);
  frame[14] = mo.d[1];
  frame[15] = mo.d[0];

  Digits y(static_cast<int>(static_cast<unsigned>(year) % 100));
  frame[16] = y.d[2];
  frame[17] = y.d[1];
  frame[18] = y.d[0];

  int secondParity = SumOfSymbolBits(frame, 11, 18) & 1;
  frame[19] = static_cast<std::uint8_t>(2 * y.d[3] + secondParity);
}

namespace {
constexpr std::uint8_t kReferenceSecond = 4;  // index of the shape with no silence
}

void ToStationFrame(const BpcFrame& symbols, StationFrame& frame) {
  frame = {};
  frame[0] = kReferenceSecond;
  for (std::size_t i = 1; i < symbols.size(); ++i) frame[i] = symbols[i];
}

void EncodeBpcStationFrame(platform::Time64 start, StationFrame& frame) {
  const platform::CivilTime t = platform::ToLocalTime(start + 1);
  BpcFrame symbols{};
  EncodeBpcFrame(t.year, t.month, t.day, t.weekday, static_cast<unsigned>(t.hour), t.minute, t.second, symbols);
  ToStationFrame(symbols, frame);
}
