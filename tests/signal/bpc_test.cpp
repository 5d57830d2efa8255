#include "signal/stations/bpc.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace {

struct Time {
  int year, month, day, weekday;
  unsigned hour;
  int minute, second;
};

std::vector<int> Encode(const Time& t) {
  BpcFrame f{};
  EncodeBpcFrame(t.year, t.month, t.day, t.weekday, t.hour, t.minute, t.second, f);
  return std::vector<int>(f.begin(), f.end());
}

int Bits(int s) { return (s & 1) + ((s >> 1) & 1); }

TEST(EncodeBpcFrame, KnownFrames) {
  struct Case {
    Time time;
    std::vector<int> symbols;
  };
  const Case cases[] = {
      // Sunday: weekday sent as 7; five set bits in symbols 1..9.
      {{2017, 1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 1, 0, 0, 1, 1, 3, 1, 0, 0, 1, 0, 1, 1, 0, 1, 0}},
      {{2017, 1, 1, 1, 1, 1, 21}, {0, 1, 0, 0, 1, 0, 0, 1, 1, 3, 0, 0, 0, 1, 0, 1, 1, 0, 1, 0}},
      {{2017, 1, 1, 1, 1, 2, 41}, {0, 2, 0, 0, 1, 0, 0, 2, 1, 3, 0, 0, 0, 1, 0, 1, 1, 0, 1, 0}},
      // Hour 23 sent as 11 with the afternoon flag; both parities even.
      {{2026, 12, 31, 5, 23, 59, 41}, {0, 2, 0, 2, 3, 3, 2, 3, 1, 0, 2, 1, 3, 3, 3, 0, 1, 2, 2, 0}},
      // Year 70 = 1*64 + 0*16 + 1*4 + 2.
      {{2070, 7, 4, 6, 13, 5, 21}, {0, 1, 0, 0, 1, 0, 1, 1, 1, 1, 2, 0, 1, 0, 1, 3, 0, 1, 2, 2}},
      // Day 3 gives an odd second parity.
      {{2017, 1, 3, 3, 1, 1, 1}, {0, 0, 0, 0, 1, 0, 0, 1, 0, 2, 1, 0, 0, 3, 0, 1, 1, 0, 1, 1}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Encode(c.time), c.symbols) << c.time.year << "-" << c.time.month << "-" << c.time.day << " "
                                         << c.time.hour << ":" << c.time.minute << ":" << c.time.second;
  }
}

TEST(EncodeBpcFrame, WeekdayIsSentMondayFirst) {
  // Input 1 = Sunday ... 7 = Saturday; on air 1 = Monday ... 7 = Sunday.
  const int onAir[8] = {0, 7, 1, 2, 3, 4, 5, 6};
  for (int weekday = 1; weekday <= 7; ++weekday) {
    std::vector<int> s = Encode({2017, 1, 1, weekday, 1, 1, 1});
    EXPECT_EQ(s[8] * 4 + s[9], onAir[weekday]) << "weekday " << weekday;
  }
}

TEST(EncodeBpcFrame, AfternoonFlagAndTwelveHourClock) {
  for (unsigned hour = 0; hour < 12; ++hour) {
    std::vector<int> morning = Encode({2017, 1, 1, 1, hour, 30, 21});
    std::vector<int> afternoon = Encode({2017, 1, 1, 1, hour + 12, 30, 21});
    EXPECT_EQ(morning[3] * 4 + morning[4], static_cast<int>(hour));
    EXPECT_LE(morning[10], 1) << hour;
    EXPECT_EQ(afternoon[10], morning[10] + 2) << hour;
    morning[10] = afternoon[10];
    EXPECT_EQ(afternoon, morning) << "only symbol 10 tells " << hour << " from " << hour + 12;
  }
  // The hour is unsigned: a failed time conversion's -1 is a large afternoon hour.
  std::vector<int> bad = Encode({0, 0, 0, 0, static_cast<unsigned>(-1), -1, -1});
  EXPECT_EQ(bad[3] * 4 + bad[4], static_cast<int>(static_cast<unsigned>(-1) % 12));
  EXPECT_GE(bad[10], 2);
}

TEST(EncodeBpcFrame, ParitiesMakeEachHalfEven) {
  bool seen[2][2] = {};
  for (int day = 1; day <= 31; day += 3) {
    for (int minute = 0; minute < 60; minute += 7) {
      for (int second : {1, 21, 41}) {
        std::vector<int> s = Encode({2000 + day, 1 + day % 12, day, 1 + day % 7, static_cast<unsigned>(day % 24),
                                     minute, second});
        int first = 0, second_ = 0;
        for (int i = 1; i <= 9; ++i) first += Bits(s[i]);
        for (int i = 11; i <= 18; ++i) second_ += Bits(s[i]);
        EXPECT_EQ((first + s[10]) % 2, 0);
        EXPECT_EQ((second_ + s[19]) % 2, 0);
        seen[0][s[10] & 1] = true;
        seen[1][s[19] & 1] = true;
      }
    }
  }
  EXPECT_TRUE(seen[0][0] && seen[0][1] && seen[1][0] && seen[1][1]) << "both values of both parities";
}

TEST(EncodeBpcFrame, YearDigitFourCubedGoesIntoTheLastSymbol) {
  struct Case {
    int year;
    int low[3];
    int high;  // symbol 19 without the parity
  };
  const Case cases[] = {
      {2063, {3, 3, 3}, 0}, {2064, {0, 0, 0}, 2}, {2099, {2, 0, 3}, 2}, {1999, {2, 0, 3}, 2}, {2100, {0, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    std::vector<int> s = Encode({c.year, 6, 15, 2, 8, 20, 1});
    EXPECT_EQ(s[16], c.low[0]) << c.year;
    EXPECT_EQ(s[17], c.low[1]) << c.year;
    EXPECT_EQ(s[18], c.low[2]) << c.year;
    EXPECT_EQ(s[19] & 2, c.high) << c.year;
  }
}

TEST(EncodeBpcFrame, OtherSecondsLeaveFramePositionAlone) {
  const std::vector<int> atOne = Encode({2017, 1, 1, 1, 1, 1, 1});
  for (int second : {0, 2, 20, 22, 40, 59, -1}) {
    EXPECT_EQ(Encode({2017, 1, 1, 1, 1, 1, second}), atOne) << second;
  }
  // Symbol 1 is not written at all then; the caller's zero-fill is what counts.
  BpcFrame f{};
  f[1] = 3;
  EncodeBpcFrame(2017, 1, 1, 1, 1, 1, 20, f);
  EXPECT_EQ(f[1], 3);
}

TEST(SplitDigits, LeastSignificantFirst) {
  std::uint8_t d[kSplitDigitsCapacity];
  std::memset(d, 0xEE, sizeof d);
  EXPECT_EQ(SplitDigits(70, d, 4), 4);
  EXPECT_EQ(d[0], 2);
  EXPECT_EQ(d[1], 1);
  EXPECT_EQ(d[2], 0);
  EXPECT_EQ(d[3], 1);
  EXPECT_EQ(d[4], 0xEE) << "nothing past the highest digit";

  EXPECT_EQ(SplitDigits(0, d, 4), 0);
  EXPECT_EQ(SplitDigits(-5, d, 4), 0);
  EXPECT_EQ(SplitDigits(255, d, 16), 2);
  EXPECT_EQ(SplitDigits(INT_MAX, d, 2), 31);
  EXPECT_EQ(d[30], 1);
  // A base that could never end the loop writes nothing.
  EXPECT_EQ(SplitDigits(9, d, 1), 0);
  EXPECT_EQ(SplitDigits(9, d, 0), 0);
  EXPECT_EQ(SplitDigits(9, d, -4), 0);
}

TEST(CountSymbolBits, TwoBitSymbolsOnly) {
  EXPECT_EQ(CountSymbolBits(0), 0);
  EXPECT_EQ(CountSymbolBits(1), 1);
  EXPECT_EQ(CountSymbolBits(2), 1);
  EXPECT_EQ(CountSymbolBits(3), 2);
  EXPECT_EQ(CountSymbolBits(4), 0);
  EXPECT_EQ(CountSymbolBits(7), 0);
  EXPECT_EQ(CountSymbolBits(-1), 0);
}

}  // namespace
