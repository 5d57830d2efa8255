// The stations' frames against the worked examples and vectors of their
// format notes, written in the notation those notes use.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <initializer_list>
#include <string>

#include "signal/station_table.h"
#include "signal/station_audio.h"
#include "signal/station_notation.h"
#include "signal/stations/summer_time.h"

namespace {

platform::Time64 Utc(int y, unsigned mo, unsigned d, int h, int mi) {
  using namespace std::chrono;
  const sys_days date{year{y} / month{mo} / day{d}};
  return duration_cast<seconds>(date.time_since_epoch()).count() + h * 3600 + mi * 60;
}

struct Case {
  platform::Time64 sentIn;  // the UTC minute the frame is on the air
  const char* expected;
};

const Station& Get(const char* option) {
  const Station* s = FindStation(option);
  EXPECT_NE(s, nullptr) << option;
  return *s;
}

std::string Encode(const Station& s, platform::Time64 start) {
  StationFrame f{};
  s.encode(start, f);
  return StationFrameText(s, f);
}

// The symbols of the given seconds, one character each (the B bit for MSF).
std::string Seconds(const Station& s, platform::Time64 start, std::initializer_list<unsigned> which) {
  StationFrame f{};
  s.encode(start, f);
  std::string out;
  for (unsigned i : which) {
    const std::string text = s.symbolText[f[i]];
    out += text.back();
  }
  return out;
}

void ExpectFrames(const char* option, std::initializer_list<Case> cases) {
  const Station& s = Get(option);
  for (const Case& c : cases) EXPECT_EQ(Encode(s, c.sentIn), c.expected) << option << " sent at " << c.sentIn;
}

void ExpectSeconds(const char* option, std::initializer_list<unsigned> which, std::initializer_list<Case> cases) {
  const Station& s = Get(option);
  for (const Case& c : cases) EXPECT_EQ(Seconds(s, c.sentIn, which), c.expected) << option << " sent at " << c.sentIn;
}

TEST(StationFrames, Jjy) {
  for (const char* option : {"jjy40", "jjy60"}) {
    ExpectFrames(option,
                 {
                     {Utc(2004, 4, 1, 8, 25), "M01000101M 000100111M 000001001M 001000010M 000000100M 100000000M"},
                     {Utc(2026, 12, 31, 15, 47), "M10000111M 000000000M 000000000M 000100000M 000100111M 101000000M"},
                     {Utc(2028, 2, 28, 15, 0), "M00000000M 000000000M 000000110M 000000000M 000101000M 010000000M"},
                     {Utc(2026, 12, 31, 14, 59), "M10101001M 001000011M 001100110M 010100100M 000100110M 100000000M"},
                 });
  }
}

TEST(StationFrames, Wwvb) {
  ExpectFrames("wwvb", {
                           {Utc(2008, 3, 6, 7, 30), "M01100000M 000000111M 000000110M 011000101M 000000000M 100001000M"},
                           {Utc(2026, 3, 8, 9, 41), "M10000001M 000001001M 000000110M 011100101M 000000010M 011000010M"},
                           {Utc(2028, 2, 29, 23, 59), "M10101001M 001000011M 000000110M 000000101M 000000010M 100001000M"},
                           {Utc(2026, 12, 31, 23, 59), "M10101001M 001000011M 001100110M 010100101M 000000010M 011000000M"},
                       });
  // Bits 57 and 58 around the changes of 2026; they move at 00:00 UTC.
  ExpectSeconds("wwvb", {57, 58},
                {
                    {Utc(2026, 3, 7, 23, 59), "00"},
                    {Utc(2026, 3, 8, 0, 0), "10"},
                    {Utc(2026, 3, 8, 23, 59), "10"},
                    {Utc(2026, 3, 9, 0, 0), "11"},
                    {Utc(2026, 10, 31, 23, 59), "11"},
                    {Utc(2026, 11, 1, 0, 0), "01"},
                    {Utc(2026, 11, 1, 23, 59), "01"},
                    {Utc(2026, 11, 2, 0, 0), "00"},
                });
  // Bit 55, the Gregorian leap year.
  ExpectSeconds("wwvb", {55}, {{Utc(2100, 3, 1, 0, 0), "0"}, {Utc(2000, 3, 1, 0, 0), "1"}});
}

TEST(StationFrames, Dcf77) {
  ExpectFrames("dcf77",
               {
                   {Utc(1998, 12, 1, 14, 59), "0000000000 0000000010 1000000000 1101011000 0001001001 000110011M"},
                   {Utc(2026, 3, 29, 0, 59), "0000000000 0000001100 1000000001 1000001001 0111111000 011001001M"},
                   // The off-air frame of 20:38 CET with its weather bits (1-14) left out.
                   {Utc(2022, 1, 1, 19, 37), "0000000000 0000000010 1000111010 0000111000 0001110000 010001000M"},
                   {Utc(2028, 2, 28, 23, 59), "0000000000 0000000010 1000000001 0000011001 0101001000 000101001M"},
                   {Utc(2026, 12, 31, 22, 59), "0000000000 0000000010 1000000000 0000001000 0010110000 111001000M"},
               });
  // A1, Z1, Z2 in the hours before the changes of 2026.
  ExpectSeconds("dcf77", {16, 17, 18},
                {
                    {Utc(2026, 3, 28, 23, 59), "001"},
                    {Utc(2026, 3, 29, 0, 0), "101"},
                    {Utc(2026, 3, 29, 0, 58), "101"},
                    {Utc(2026, 3, 29, 0, 59), "110"},
                    {Utc(2026, 3, 29, 1, 0), "010"},
                    {Utc(2026, 10, 24, 23, 59), "010"},
                    {Utc(2026, 10, 25, 0, 0), "110"},
                    {Utc(2026, 10, 25, 0, 58), "110"},
                    {Utc(2026, 10, 25, 0, 59), "101"},
                    {Utc(2026, 10, 25, 1, 0), "001"},
                });
}

TEST(StationFrames, Msf) {
  ExpectFrames("msf", {
                          {Utc(2015, 6, 18, 23, 9),
                           "M  00 00 00 00 00 00 00 00 00\n"
                           "00 00 00 00 00 00 00 00 00 00\n"
                           "10 00 10 00 10 00 00 10 10 00\n"
                           "00 10 10 00 00 10 10 00 10 00\n"
                           "00 00 00 00 00 00 00 10 00 00\n"
                           "00 00 00 10 10 10 11 10 11 00"},
                          {Utc(2026, 10, 25, 0, 59),
                           "M  00 00 00 00 00 00 00 00 00\n"
                           "00 00 00 00 00 00 00 00 00 10\n"
                           "00 00 10 10 00 10 00 00 00 00\n"
                           "10 00 00 10 00 10 00 00 00 00\n"
                           "00 00 00 00 10 00 00 00 00 00\n"
                           "00 00 00 11 10 11 11 10 10 00"},
                          {Utc(2028, 2, 28, 23, 59),
                           "M  00 00 00 00 00 00 00 00 00\n"
                           "00 00 00 00 00 00 00 00 00 10\n"
                           "00 10 00 00 00 00 00 00 10 00\n"
                           "10 00 10 00 00 10 00 10 00 00\n"
                           "00 00 00 00 00 00 00 00 00 00\n"
                           "00 00 00 10 11 11 10 11 10 00"},
                          {Utc(2026, 12, 31, 23, 59),
                           "M  00 00 00 00 00 00 00 00 00\n"
                           "00 00 00 00 00 00 00 00 00 10\n"
                           "00 00 10 10 10 00 00 00 00 10\n"
                           "00 00 00 00 00 10 10 00 10 00\n"
                           "00 00 00 00 00 00 00 00 00 00\n"
                           "00 00 00 10 11 11 11 11 10 00"},
                      });
  // 53B and 58B in the hours before the changes of 2026.
  ExpectSeconds("msf", {53, 58},
                {
                    {Utc(2026, 3, 28, 23, 58), "00"},
                    {Utc(2026, 3, 28, 23, 59), "10"},
                    {Utc(2026, 3, 29, 0, 58), "10"},
                    {Utc(2026, 3, 29, 0, 59), "11"},
                    {Utc(2026, 3, 29, 1, 0), "01"},
                    {Utc(2026, 10, 24, 23, 58), "01"},
                    {Utc(2026, 10, 24, 23, 59), "11"},
                    {Utc(2026, 10, 25, 0, 58), "11"},
                    {Utc(2026, 10, 25, 0, 59), "10"},
                    {Utc(2026, 10, 25, 1, 0), "00"},
                });
}

// What the transmitter and render rely on of every row: seconds that last
// one second, frames made of whole 20-second pieces that fit the frame
// type, and a tone that ends each frame on a whole cycle, so that the next
// one begins without a jump.
TEST(StationFrames, EveryRowFitsTheBuffersAndEverySecondLastsOneSecond) {
  for (const Station& s : kStations) {
    EXPECT_EQ(s.frameSeconds % kPieceSeconds, 0u) << s.option;
    EXPECT_LE(s.frameSeconds, kMaxFrameSeconds) << s.option;
    const double cycles = s.toneHz * s.frameSeconds;
    EXPECT_NEAR(cycles, std::round(cycles), 1e-6) << s.option;
    for (int i = 0; i < kMaxStationSymbols && s.symbolText[i] != nullptr; ++i) {
      const SymbolShape& shape = s.shapes[i];
      EXPECT_EQ(shape.ms[0] + shape.ms[1] + shape.ms[2] + shape.ms[3], 1000) << s.option << " symbol " << i;
    }
  }
}

TEST(StationSummerTime, EuChangesAt0100Utc) {
  const platform::Time64 spring = Utc(2026, 3, 29, 1, 0);
  const platform::Time64 autumn = Utc(2026, 10, 25, 1, 0);
  struct Instant {
    platform::Time64 utc;
    bool summer;
  };
  for (const Instant& i : {Instant{spring - 3600, false}, Instant{spring - 1, false}, Instant{spring, true},
                           Instant{autumn - 3600, true}, Instant{autumn - 1, true}, Instant{autumn, false}}) {
    EXPECT_EQ(InEuSummerTime(i.utc), i.summer) << i.utc;
  }
  // The interval is open below and closed above; a year boundary between the
  // ends is crossed.
  EXPECT_TRUE(EuChangeWithin(spring - 3600, spring));
  EXPECT_FALSE(EuChangeWithin(spring, spring + 3600));
  EXPECT_FALSE(EuChangeWithin(spring - 3600, spring - 1));
  EXPECT_TRUE(EuChangeWithin(Utc(2025, 12, 31, 0, 0), Utc(2026, 6, 1, 0, 0)));
}

TEST(StationSummerTime, UsDaylightSavingBitsPerUtcDay) {
  struct Day {
    platform::Time64 utc;
    const char* bits;  // 57, 58
  };
  const Day days[] = {
      // Since 2007: second Sunday of March, first Sunday of November.
      {Utc(2007, 3, 10, 23, 0), "00"},
      {Utc(2007, 3, 11, 0, 0), "10"},
      {Utc(2007, 3, 12, 0, 0), "11"},
      {Utc(2007, 11, 3, 23, 59), "11"},
      {Utc(2007, 11, 4, 0, 0), "01"},
      {Utc(2007, 11, 5, 0, 0), "00"},
      // 2006: first Sunday of April, last Sunday of October.
      {Utc(2006, 3, 12, 12, 0), "00"},
      {Utc(2006, 4, 1, 23, 0), "00"},
      {Utc(2006, 4, 2, 0, 0), "10"},
      {Utc(2006, 4, 3, 0, 0), "11"},
      {Utc(2006, 10, 28, 23, 59), "11"},
      {Utc(2006, 10, 29, 0, 0), "01"},
      {Utc(2006, 10, 30, 0, 0), "00"},
  };
  for (const Day& d : days) {
    const WwvbDstBits bits = WwvbDstBitsFor(d.utc);
    EXPECT_EQ(std::string() + "01"[bits.atEndOfDay] + "01"[bits.atStartOfDay], d.bits) << d.utc;
  }
}

}  // namespace
