// JJY (40 and 60 kHz alike): bits 0 and 1, markers in seconds 0, 9, 19, 29,
// 39, 49 and 59. BCD most significant bit first; even parities over the
// hour and the minute; the frame carries the minute in progress, in JST.
#include "signal/decode/fields.h"

namespace decode {

namespace {

constexpr int kYear[] = {41, 42, 43, 44, 45, 46, 47, 48};
constexpr int kWeekday[] = {50, 51, 52}, kWeekdayWeights[] = {4, 2, 1};

bool Read(const std::uint8_t* symbols, CarriedTime& t) {
  MarkedFields f;
  if (!ReadMarkedFrame(symbols, f, t)) return false;
  const int* bits = f.bits;
  t.parity = true;
  if (bits[36] != f.hourOnes % 2) t.problem = "parity PA1 (hour) failed";
  else if (bits[37] != f.minuteOnes % 2) t.problem = "parity PA2 (minute) failed";
  if (!t.problem.empty() || !ReadMarkedDate(f, kYear, t)) return false;
  t.weekday = Weighted(bits, kWeekday, kWeekdayWeights, 3) + 1;  // sent as 0 Sunday .. 6 Saturday
  if (t.weekday > 7) {
    t.problem = "a field out of range";
    return false;
  }
  if (t.weekday != WeekdayOf(t.year, t.month, t.day)) {
    t.problem = "the weekday does not fit the date";
    return false;
  }
  t.zone = "JST";
  if (bits[53] || bits[54]) t.announce = "leap-second";
  return true;
}

}  // namespace

const FieldReader kJjyFields = {60, 2, 0, true, 0, Read};

}  // namespace decode
