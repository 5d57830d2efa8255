// BPC: 20-second frames of base-4 digits, most significant first, each
// frame opened by a second without a low part (symbol 4). It carries the
// sending computer's local time as it stands, with the hour in twelves and
// two parities; the time is that of the frame's start.
#include "signal/decode/fields.h"

namespace decode {

namespace {

int Ones(int symbol) { return (symbol & 1) + ((symbol >> 1) & 1); }

bool Read(const std::uint8_t* symbols, CarriedTime& t) {
  int d[20] = {};
  if (!ReadDigits(symbols, 1, 20, 3, d, "a reference second inside the frame", t)) return false;
  int first = 0, second = 0;
  for (int s = 1; s <= 9; ++s) first += Ones(d[s]);
  for (int s = 11; s <= 18; ++s) second += Ones(d[s]);
  t.parity = true;
  if ((d[10] & 1) != first % 2) t.problem = "the first parity (time) failed";
  else if ((d[19] & 1) != second % 2) t.problem = "the second parity (date) failed";
  if (!t.problem.empty()) return false;
  const int position = d[1];
  const int hour12 = d[3] * 4 + d[4];
  t.minute = d[5] * 16 + d[6] * 4 + d[7];
  const int weekday = d[8] * 4 + d[9];  // Monday 1 .. Sunday 7
  t.hour = hour12 + (d[10] >> 1) * 12;
  t.day = d[11] * 16 + d[12] * 4 + d[13];
  t.month = d[14] * 4 + d[15];
  t.year = FullYear((d[19] >> 1) * 64 + d[16] * 16 + d[17] * 4 + d[18]);
  if (position > 2 || d[2] != 0 || hour12 > 11 || t.minute > 59 || weekday < 1 || weekday > 7 || t.month < 1 ||
      t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month)) {
    t.problem = "a field out of range";
    return false;
  }
  t.second = position * 20;
  t.weekday = weekday % 7 + 1;
  if (t.weekday != WeekdayOf(t.year, t.month, t.day)) {
    t.problem = "the weekday does not fit the date";
    return false;
  }
  return true;
}

}  // namespace

const FieldReader kBpcFields = {20, 4, 0, false, 0, Read};

}  // namespace decode
