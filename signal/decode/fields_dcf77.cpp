// DCF77: bits 0 and 1 in seconds 0..58, its marker (no low part) in 59.
// BCD least significant bit first; the frame carries the minute that begins
// at its end, in German civil time.
#include "signal/decode/fields.h"

namespace decode {

namespace {

bool EvenParity(const int* bits, int from, int to) {
  int ones = 0;
  for (int s = from; s <= to; ++s) ones += bits[s];
  return ones % 2 == 0;
}

int Field(const int* bits, int first, int count) {
  static const int kWeights[] = {1, 2, 4, 8, 10, 20, 40, 80};
  int sum = 0;
  for (int i = 0; i < count; ++i) sum += bits[first + i] ? kWeights[i] : 0;
  return sum;
}

bool Read(const std::uint8_t* symbols, CarriedTime& t) {
  int bits[60] = {};
  if (!ReadDigits(symbols, 0, 59, 1, bits, "a marker inside the frame", t)) return false;
  t.parity = true;
  if (!EvenParity(bits, 21, 28)) t.problem = "parity P1 (minute) failed";
  else if (!EvenParity(bits, 29, 35)) t.problem = "parity P2 (hour) failed";
  else if (!EvenParity(bits, 36, 58)) t.problem = "parity P3 (date) failed";
  if (!t.problem.empty()) return false;
  if (bits[0] != 0 || bits[20] != 1) {
    t.problem = "no start of the time code (second 20)";
    return false;
  }
  const bool cest = bits[17] == 1, cet = bits[18] == 1;
  if (cest == cet) {
    t.problem = "neither CET nor CEST (Z1, Z2)";
    return false;
  }
  t.zone = cest ? "CEST" : "CET";
  t.summer = cest ? 1 : 0;
  t.minute = Field(bits, 21, 7);
  t.hour = Field(bits, 29, 6);
  t.day = Field(bits, 36, 6);
  const int weekday = Field(bits, 42, 3);  // Monday 1 .. Sunday 7
  t.month = Field(bits, 45, 5);
  t.year = FullYear(Field(bits, 50, 8));
  if (t.minute > 59 || t.hour > 23 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > DaysInMonth(t.year, t.month) || weekday < 1 || !IsDigit(bits, 21, true) || !IsDigit(bits, 29, true) ||
      !IsDigit(bits, 36, true) || !IsDigit(bits, 45, true) || !IsDigit(bits, 50, true) || !IsDigit(bits, 54, true)) {
    t.problem = "a field out of range";
    return false;
  }
  t.weekday = weekday % 7 + 1;
  if (t.weekday != WeekdayOf(t.year, t.month, t.day)) {
    t.problem = "the weekday does not fit the date";
    return false;
  }
  if (bits[16]) t.announce += "summer-time-change";
  if (bits[19]) t.announce += t.announce.empty() ? "leap-second" : " leap-second";
  return true;
}

}  // namespace

const FieldReader kDcf77Fields = {60, 2, 59, false, 60, Read};

}  // namespace decode
