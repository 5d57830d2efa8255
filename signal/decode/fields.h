// What a station's frame says, read from its symbols: one file per station
// (fields_*.cpp), written from the stations' published formats and not
// from the encoders, so that a mistake in one is not agreed to by the other.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/civil_time.h"

namespace decode {

// The time a frame carries, as the watch will read it; its weekday stays 0
// where the frame sends none, its day of the year is not filled.
struct CarriedTime : platform::CivilTime {
  const char* zone = "";    // "CET", "CEST", "GMT", "BST", "UTC", "JST"; "" for BPC's time as it stands
  int summer = -1;          // 1 summer time, 0 not, -1 where the frame does not say
  std::string announce;     // the announcement bits set, by name, blank-separated
  bool parity = false;      // the frame has parities (and they hold)
  std::string problem;      // why this is no time (a parity, a field out of range)
};

// A station's frames as the decoder reads them. Symbols are indices into
// the station's shapes, in the order of the station table.
struct FieldReader {
  unsigned frameSeconds;     // 20 or 60
  std::uint8_t syncSymbol;   // the marker that places a frame ...
  unsigned syncSecond;       // ... at this second of it
  bool syncAfterMarker;      // the second before it holds the marker too (a double marker)
  // The carried minute (BPC: the frame) begins this far after the frame's
  // start: 0 for the minute in progress, 60 for the one the frame announces.
  unsigned beginsAfter;
  // False, with t.problem said, for a frame that carries no time.
  bool (*read)(const std::uint8_t* symbols, CarriedTime& t);
};

// The reader for a station's command-line name, or null.
const FieldReader* FindFieldReader(std::string_view option);

// The readers, one in each station's file.
extern const FieldReader kBpcFields, kJjyFields, kWwvbFields, kDcf77Fields, kMsfFields;

// --- for the readers ---

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long DaysFromCivil(int year, int month, int day);
int DaysInMonth(int year, int month);
bool IsLeapYear(int year);
// 1 Sunday .. 7 Saturday.
int WeekdayOf(int year, int month, int day);
// The calendar date of a day of the year (1 = 1 January); false beyond it.
bool DateOfDayOfYear(int year, int dayOfYear, int& month, int& day);
// A year of the century as the frames send it: 70..99 the last century's.
inline int FullYear(int yy) { return yy < 70 ? 2000 + yy : 1900 + yy; }
// The symbols of seconds first to end - 1 as digits, each at most
// `highest`; false, with `problem` said in t.problem, where one is higher
// (a marker inside the frame).
bool ReadDigits(const std::uint8_t* symbols, int first, int end, int highest, int* digits, const char* problem,
                CarriedTime& t);
// The sum of the weights of the bits set at those seconds.
int Weighted(const int* bits, const int* seconds, const int* weights, int count);
// Whether the four bits of a BCD digit from `first` on (weights 8 4 2 1, or
// 1 2 4 8 where lsbFirst) make a digit, 0 to 9.
bool IsDigit(const int* bits, int first, bool lsbFirst);

// JJY and WWVB share seconds 0 to 35: markers (symbol 2) in seconds 0, 9,
// 19, ... 59 and nowhere else, then the minute, the hour and the day of the
// year in BCD, most significant bit first. Fills the frame's bits (1 for
// symbol 1) and those fields; false, said in t.problem, where a marker is
// out of place.
struct MarkedFields {
  int bits[60] = {};
  int minute = 0, hour = 0, dayOfYear = 0;
  int minuteOnes = 0, hourOnes = 0;  // the bits set in each, for JJY's parities
};
bool ReadMarkedFrame(const std::uint8_t* symbols, MarkedFields& f, CarriedTime& t);
// Then the minute, the hour and the date, with the year's two BCD digits
// in the eight seconds yearSeconds names; false, said in t.problem, where
// one is out of range or no digit.
bool ReadMarkedDate(const MarkedFields& f, const int* yearSeconds, CarriedTime& t);

}  // namespace decode
