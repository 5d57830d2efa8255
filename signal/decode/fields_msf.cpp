// MSF: its marker (500 ms low) in second 0; every other second carries two
// bits A and B, written as symbol 1 + A + 2B. BCD most significant bit first
// in the A bits, odd parities in 54B to 57B; the frame carries the minute
// that begins at the next marker, in UK civil time.
#include "signal/decode/fields.h"

namespace decode {

namespace {

int Field(const int* a, int first, const int* weights, int count) {
  int sum = 0;
  for (int i = 0; i < count; ++i) sum += a[first + i] ? weights[i] : 0;
  return sum;
}

bool OddParity(const int* a, int from, int to, int check) {
  int ones = check;
  for (int s = from; s <= to; ++s) ones += a[s];
  return ones % 2 == 1;
}

bool Read(const std::uint8_t* symbols, CarriedTime& t) {
  int a[60] = {}, b[60] = {};
  for (int s = 1; s < 60; ++s) {
    if (symbols[s] < 1 || symbols[s] > 4) {
      t.problem = "a marker inside the frame";
      return false;
    }
    a[s] = (symbols[s] - 1) & 1;
    b[s] = (symbols[s] - 1) >> 1;
  }
  t.parity = true;
  if (!OddParity(a, 17, 24, b[54])) t.problem = "parity 54B (year) failed";
  else if (!OddParity(a, 25, 35, b[55])) t.problem = "parity 55B (month, day) failed";
  else if (!OddParity(a, 36, 38, b[56])) t.problem = "parity 56B (weekday) failed";
  else if (!OddParity(a, 39, 51, b[57])) t.problem = "parity 57B (time) failed";
  if (!t.problem.empty()) return false;
  static const int kIdentifier[] = {0, 1, 1, 1, 1, 1, 1, 0};
  for (int i = 0; i < 8; ++i) {
    if (a[52 + i] != kIdentifier[i]) {
      t.problem = "no minute identifier (52A-59A)";
      return false;
    }
  }
  static const int k80[] = {80, 40, 20, 10, 8, 4, 2, 1};
  static const int k10[] = {10, 8, 4, 2, 1};
  static const int k20[] = {20, 10, 8, 4, 2, 1};
  static const int k40[] = {40, 20, 10, 8, 4, 2, 1};
  static const int k4[] = {4, 2, 1};
  t.year = FullYear(Field(a, 17, k80, 8));
  t.month = Field(a, 25, k10, 5);
  t.day = Field(a, 30, k20, 6);
  t.weekday = Field(a, 36, k4, 3) + 1;  // sent as 0 Sunday .. 6 Saturday
  t.hour = Field(a, 39, k20, 6);
  t.minute = Field(a, 45, k40, 7);
  if (t.minute > 59 || t.hour > 23 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > DaysInMonth(t.year, t.month) || t.weekday > 7 || !IsDigit(a, 17, false) || !IsDigit(a, 21, false) ||
      !IsDigit(a, 26, false) || !IsDigit(a, 32, false) || !IsDigit(a, 41, false) || !IsDigit(a, 48, false)) {
    t.problem = "a field out of range";
    return false;
  }
  if (t.weekday != WeekdayOf(t.year, t.month, t.day)) {
    t.problem = "the weekday does not fit the date";
    return false;
  }
  t.summer = b[58];
  t.zone = b[58] ? "BST" : "GMT";
  if (b[53]) t.announce = "summer-time-change";
  return true;
}

}  // namespace

const FieldReader kMsfFields = {60, 0, 0, false, 60, Read};

}  // namespace decode
