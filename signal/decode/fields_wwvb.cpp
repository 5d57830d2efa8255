// WWVB: bits 0 and 1, markers in seconds 0, 9, 19, 29, 39, 49 and 59. BCD
// most significant bit first, no parity; the frame carries the minute in
// progress in UTC, with the US daylight-saving bits of its UTC day.
#include "signal/decode/fields.h"

namespace decode {

namespace {

constexpr int kYear[] = {45, 46, 47, 48, 50, 51, 52, 53};

bool Read(const std::uint8_t* symbols, CarriedTime& t) {
  MarkedFields f;
  if (!ReadMarkedFrame(symbols, f, t) || !ReadMarkedDate(f, kYear, t)) return false;
  const int* bits = f.bits;
  const bool signPlus = bits[36] && !bits[37] && bits[38], signMinus = !bits[36] && bits[37] && !bits[38];
  if (!(signPlus || signMinus)) {
    t.problem = "a field out of range";
    return false;
  }
  if (bits[55] != (IsLeapYear(t.year) ? 1 : 0)) {
    t.problem = "the leap-year bit does not fit the year";
    return false;
  }
  t.weekday = WeekdayOf(t.year, t.month, t.day);
  t.zone = "UTC";
  // Bit 57: in effect at the day's end; 58: at its start.
  t.summer = bits[58];
  if (bits[57] && !bits[58]) t.announce = "dst-begins-today";
  if (!bits[57] && bits[58]) t.announce = "dst-ends-today";
  if (bits[56]) t.announce += t.announce.empty() ? "leap-second" : " leap-second";
  return true;
}

}  // namespace

const FieldReader kWwvbFields = {60, 2, 0, true, 0, Read};

}  // namespace decode
