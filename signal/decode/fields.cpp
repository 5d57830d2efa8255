#include "signal/decode/fields.h"

namespace decode {

const FieldReader* FindFieldReader(std::string_view option) {
  struct Row {
    std::string_view option;
    const FieldReader* reader;
  };
  static const Row kRows[] = {{"bpc", &kBpcFields},   {"jjy40", &kJjyFields},   {"jjy60", &kJjyFields},
                              {"wwvb", &kWwvbFields}, {"dcf77", &kDcf77Fields}, {"msf", &kMsfFields}};
  for (const Row& row : kRows) {
    if (row.option == option) return row.reader;
  }
  return nullptr;
}

long DaysFromCivil(int year, int month, int day) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yearOfEra = y - era * 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return static_cast<long>(era) * 146097 + dayOfEra - 719468;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

int WeekdayOf(int year, int month, int day) {
  const long days = DaysFromCivil(year, month, day);  // 1970-01-01 was a Thursday
  return static_cast<int>(((days % 7) + 7 + 4) % 7) + 1;
}

bool DateOfDayOfYear(int year, int dayOfYear, int& month, int& day) {
  if (dayOfYear < 1) return false;
  for (month = 1; month <= 12; ++month) {
    const int length = DaysInMonth(year, month);
    if (dayOfYear <= length) {
      day = dayOfYear;
      return true;
    }
    dayOfYear -= length;
  }
  return false;
}

bool ReadDigits(const std::uint8_t* symbols, int first, int end, int highest, int* digits, const char* problem,
                CarriedTime& t) {
  for (int s = first; s < end; ++s) {
    if (symbols[s] > highest) {
      t.problem = problem;
      return false;
    }
    digits[s] = symbols[s];
  }
  return true;
}

int Weighted(const int* bits, const int* seconds, const int* weights, int count) {
  int sum = 0;
  for (int i = 0; i < count; ++i) sum += bits[seconds[i]] ? weights[i] : 0;
  return sum;
}

bool IsDigit(const int* bits, int first, bool lsbFirst) {
  int value = 0;
  for (int i = 0; i < 4; ++i) value += bits[first + i] << (lsbFirst ? i : 3 - i);
  return value <= 9;
}

bool ReadMarkedFrame(const std::uint8_t* symbols, MarkedFields& f, CarriedTime& t) {
  int* bits = f.bits;
  for (int s = 0; s < 60; ++s) {
    const bool marker = s == 0 || s % 10 == 9;
    if ((symbols[s] == 2) != marker) {
      t.problem = "the markers are not in place";
      return false;
    }
    bits[s] = symbols[s] == 1;
  }
  static const int kMinute[] = {1, 2, 3, 5, 6, 7, 8}, kMinuteWeights[] = {40, 20, 10, 8, 4, 2, 1};
  static const int kHour[] = {12, 13, 15, 16, 17, 18}, kHourWeights[] = {20, 10, 8, 4, 2, 1};
  static const int kDay[] = {22, 23, 25, 26, 27, 28, 30, 31, 32, 33};
  static const int kDayWeights[] = {200, 100, 80, 40, 20, 10, 8, 4, 2, 1};
  static const int kOnes[] = {1, 1, 1, 1, 1, 1, 1};
  f.minute = Weighted(bits, kMinute, kMinuteWeights, 7);
  f.hour = Weighted(bits, kHour, kHourWeights, 6);
  f.dayOfYear = Weighted(bits, kDay, kDayWeights, 10);
  f.minuteOnes = Weighted(bits, kMinute, kOnes, 7);
  f.hourOnes = Weighted(bits, kHour, kOnes, 6);
  return true;
}

bool ReadMarkedDate(const MarkedFields& f, const int* yearSeconds, CarriedTime& t) {
  const int* bits = f.bits;
  static const int kYearWeights[] = {80, 40, 20, 10, 8, 4, 2, 1};
  t.minute = f.minute;
  t.hour = f.hour;
  t.year = FullYear(Weighted(bits, yearSeconds, kYearWeights, 8));
  if (t.minute > 59 || t.hour > 23 || !DateOfDayOfYear(t.year, f.dayOfYear, t.month, t.day) ||
      !IsDigit(bits, 5, false) || !IsDigit(bits, 15, false) || !IsDigit(bits, 25, false) || !IsDigit(bits, 30, false) ||
      !IsDigit(bits, yearSeconds[0], false) || !IsDigit(bits, yearSeconds[4], false)) {
    t.problem = "a field out of range";
    return false;
  }
  return true;
}

}  // namespace decode
