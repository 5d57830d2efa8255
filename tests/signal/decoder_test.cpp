#include "signal/decode/decoder.h"
#include "signal/decode/live_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "signal/station_audio.h"
#include "signal/station_table.h"

namespace {

using platform::Time64;

// BPC sends the local time: China's here, as in the other suites.
const bool kZoneSet = [] {
  static char zone[] = "TZ=CST-8";
  ::putenv(zone);
  ::tzset();
  return true;
}();

// 2026-12-31 23:58:00 UTC: the renders cross a year's end.
constexpr Time64 kStart = 1798761480;

// The frames a render from kStart carries (three of a minute station, six
// of BPC), and where the minute each carries begins, as the decoder says.
struct Carried {
  double beginsS;
  const char* time;
};
std::vector<Carried> CarriedBy(const Station& s) {
  const std::string o = s.option;
  if (o == "bpc") {
    return {{0, "2027-01-01 07:58:00 Fri"},  {20, "2027-01-01 07:58:20 Fri"}, {40, "2027-01-01 07:58:40 Fri"},
            {60, "2027-01-01 07:59:00 Fri"}, {80, "2027-01-01 07:59:20 Fri"}, {100, "2027-01-01 07:59:40 Fri"}};
  }
  if (o == "jjy40" || o == "jjy60") {
    return {{0, "2027-01-01 08:58 JST Fri"}, {60, "2027-01-01 08:59 JST Fri"}, {120, "2027-01-01 09:00 JST Fri"}};
  }
  if (o == "wwvb") {
    return {{0, "2026-12-31 23:58 UTC Thu"}, {60, "2026-12-31 23:59 UTC Thu"}, {120, "2027-01-01 00:00 UTC Fri"}};
  }
  if (o == "dcf77") {
    return {{60, "2027-01-01 00:59 CET Fri"}, {120, "2027-01-01 01:00 CET Fri"}, {180, "2027-01-01 01:01 CET Fri"}};
  }
  return {{60, "2026-12-31 23:59 GMT Thu"}, {120, "2027-01-01 00:00 GMT Fri"}, {180, "2027-01-01 00:01 GMT Fri"}};
}

std::string TimeText(const decode::CarriedTime& t) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  char text[64];
  if (*t.zone == '\0') {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d %s", t.year, t.month, t.day, t.hour, t.minute,
                  t.second, t.weekday >= 1 ? kDays[t.weekday - 1] : "-");
  } else {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d %s %s", t.year, t.month, t.day, t.hour, t.minute, t.zone,
                  t.weekday >= 1 ? kDays[t.weekday - 1] : "-");
  }
  return text;
}

// The program's own sound for the station, as render writes it.
std::vector<float> Render(const Station& s, unsigned rate, bool carrier = false, int frames = 0) {
  if (frames == 0) frames = s.frameSeconds == 20 ? 6 : 3;
  std::vector<std::int16_t> piece(std::size_t{s.frameSeconds} * rate);
  std::vector<float> out;
  for (int k = 0; k < frames; ++k) {
    BuildStationAudio(s, SignalFrequency(s, carrier), kStart + k * static_cast<Time64>(s.frameSeconds), 0,
                      s.frameSeconds, rate, piece.data());
    for (std::int16_t v : piece) out.push_back(static_cast<float>(v) / 32768.0F);
  }
  return out;
}

// Whether each sample lies in a silent part (a run of zeros, which no tone
// sample is).
std::vector<bool> Silent(const std::vector<float>& x) {
  std::vector<bool> silent(x.size());
  constexpr std::size_t kRun = 8;
  for (std::size_t i = kRun; i + kRun < x.size(); ++i) {
    bool zero = true;
    for (std::size_t j = i - kRun; j <= i + kRun && zero; ++j) zero = x[j] == 0;
    silent[i] = zero;
  }
  return silent;
}

// The ways real receptions differ from the clean sound, each made here
// from a 44.1 kHz render.
struct Impairment {
  const char* what;
  double rate;                 // the result's
  double clockRatio;           // how much faster its seconds ran
  int droppedMs;               // cut from the middle of the second frame, which is then no time
  std::vector<float> (*make)(const std::vector<float>&, const Station&);
};

std::vector<float> Clean(const std::vector<float>& x, const Station&) { return x; }

// Noise for a signal-to-noise ratio of 10 dB in 100 Hz about the tone.
std::vector<float> Noisy(const std::vector<float>& x, const Station&) {
  std::mt19937 random(7);
  const double perHz = 0.5 / 10 / 100;
  std::normal_distribution<double> noise(0, std::sqrt(perHz * 44100 / 2));
  std::vector<float> y(x);
  for (float& v : y) v += static_cast<float>(noise(random));
  return y;
}

// The low parts 16 dB down instead of silent, as the real DCF77 sends them.
std::vector<float> Reduced(const std::vector<float>& x, const Station& s) {
  const std::vector<bool> silent = Silent(x);
  std::vector<float> y(x);
  const double omega = 2 * std::numbers::pi * s.toneHz / 44100;
  for (std::size_t i = 0; i < y.size(); ++i) {
    if (silent[i]) y[i] = static_cast<float>(std::pow(10.0, -16.0 / 20) * std::sin(omega * static_cast<double>(i)));
  }
  return y;
}

// A slow fading of 10 dB, over and over every 40 s.
std::vector<float> Fading(const std::vector<float>& x, const Station&) {
  std::vector<float> y(x);
  for (std::size_t i = 0; i < y.size(); ++i) {
    const double t = static_cast<double>(i) / 44100;
    y[i] *= static_cast<float>(std::pow(10.0, -0.5 * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * t / 40))));
  }
  return y;
}

// Played by a device whose clock runs 500 ppm fast or slow.
std::vector<float> Resampled(const std::vector<float>& x, double ratio) {
  std::vector<float> y;
  for (double at = 0; at + 1 < static_cast<double>(x.size()); at += ratio) {
    const auto i = static_cast<std::size_t>(at);
    const double f = at - static_cast<double>(i);
    y.push_back(static_cast<float>(x[i] * (1 - f) + x[i + 1] * f));
  }
  return y;
}
std::vector<float> Fast(const std::vector<float>& x, const Station&) { return Resampled(x, 1.0005); }
std::vector<float> Slow(const std::vector<float>& x, const Station&) { return Resampled(x, 0.9995); }

// Heard through an SDR as a 1 kHz beat note, at 8 kHz in 8 bits.
std::vector<float> BeatNote(const std::vector<float>& x, const Station&) {
  const std::vector<bool> silent = Silent(x);
  std::vector<float> y;
  for (std::size_t m = 0; m * 44100 / 8000 < x.size(); ++m) {
    const double v = silent[m * 44100 / 8000] ? 0 : 0.8 * std::sin(2 * std::numbers::pi * 1000 * static_cast<double>(m) / 8000);
    y.push_back(static_cast<float>(std::round(v * 127) / 128));
  }
  return y;
}

// A second, or a part of one (the seconds after it no longer where they
// were), gone from the middle of the second frame.
template <int kMs>
std::vector<float> Dropped(const std::vector<float>& x, const Station& s) {
  const std::size_t at = (s.frameSeconds + s.frameSeconds / 2) * std::size_t{44100} + 13000;
  std::vector<float> y(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(at));
  y.insert(y.end(), x.begin() + static_cast<std::ptrdiff_t>(at + 44100 * kMs / 1000), x.end());
  return y;
}

// What was decoded against what was carried: every frame read as a time
// is one that was sent and begins where it did; every frame sent is read,
// but the one a dropped second spoilt, which is no time.
void ExpectCarried(const decode::Decoding& d, const Station& s, double clockRatio, int droppedMs, int frames = 0) {
  const int droppedFrame = droppedMs > 0 ? 1 : -1;
  std::vector<Carried> carried = CarriedBy(s);
  if (frames > 0) carried.resize(static_cast<std::size_t>(frames));
  std::vector<std::string> read, sent;
  for (const decode::DecodedFrame& f : d.frames) {
    if (!f.isTime) continue;
    read.push_back(TimeText(f.time));
    bool found = false;
    for (std::size_t k = 0; k < carried.size(); ++k) {
      if (TimeText(f.time) != carried[k].time) continue;
      found = true;
      const double late = droppedFrame >= 0 && static_cast<int>(k) > droppedFrame ? droppedMs / 1000.0 : 0.0;
      EXPECT_NEAR(f.beginsS, (carried[k].beginsS - late) / clockRatio, 0.015) << carried[k].time;
    }
    EXPECT_TRUE(found) << "never sent: " << TimeText(f.time);
  }
  for (std::size_t k = 0; k < carried.size(); ++k) {
    if (static_cast<int>(k) != droppedFrame) sent.push_back(carried[k].time);
  }
  EXPECT_EQ(read, sent);
}

// One frame as a station's documentation writes it ("0", "1", "M"; MSF "M"
// then "AB" a second), played at 44.1 kHz with the station's shapes.
std::vector<float> FromNotation(const Station& s, const std::string& text) {
  std::vector<int> symbols;
  const bool msf = std::string(s.option) == "msf";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' || c == '\n') continue;
    if (c == 'M') {
      symbols.push_back(msf ? 0 : static_cast<int>(s.frameSeconds == 20 ? 4 : 2));
    } else if (msf) {
      symbols.push_back(1 + (c - '0') + 2 * (text[++i] - '0'));
    } else {
      symbols.push_back(c - '0');
    }
  }
  std::vector<float> out;
  const double omega = 2 * std::numbers::pi * s.toneHz / 44100;
  for (int symbol : symbols) {
    const SymbolShape& shape = s.shapes[symbol];
    int part = 0, end = shape.ms[0];
    for (int n = 0; n < 44100; ++n) {
      while (part < 3 && n * 1000 >= end * 44100) end += shape.ms[++part];
      const auto i = static_cast<double>(out.size());
      out.push_back(part % 2 == 0 ? 0.0F : static_cast<float>(std::sin(omega * i)));
    }
  }
  return out;
}

// The worked examples of the stations' formats read as their published
// times; one bit changed (or two, to a digit beyond 9 with its parity
// kept), a frame is no time; noise alone reads nothing.
TEST(Decoder, PublishedFramesReadAsTheirTimesAndSpoiltOnesAsNone) {
  struct Case {
    const char* station;
    const char* frame;
    const char* time;      // null: no time, ...
    const char* announce;  // ... and then a word of the reason
  };
  const Case cases[] = {
      {"jjy60", "M01000101M 000100111M 000001001M 001000010M 000000100M 100000000M", "2004-04-01 17:25 JST Thu", ""},
      {"jjy40", "M10000111M 000000000M 000000000M 000100000M 000100111M 101000000M", "2027-01-01 00:47 JST Fri", ""},
      {"wwvb", "M10000001M 000001001M 000000110M 011100101M 000000010M 011000010M", "2026-03-08 09:41 UTC Sun",
       "dst-begins-today"},
      {"dcf77", "0000000000 0000000010 1000000000 1101011000 0001001001 000110011M", "1998-12-01 16:00 CET Tue", ""},
      {"dcf77", "0000000000 0000001100 1000000001 1000001001 0111111000 011001001M", "2026-03-29 03:00 CEST Sun",
       "summer-time-change"},
      {"dcf77", "0000000000 0000001100 1010000001 1000001001 0111111000 011001001M", nullptr, "parity"},
      {"dcf77", "0000000000 0000001100 1001100001 1000001001 0111111000 011001001M", nullptr, "out of range"},
      {"msf",
       "M  00 00 00 00 00 00 00 00 00 "
       "00 00 00 00 00 00 00 00 00 00 "
       "10 00 10 00 10 00 00 10 10 00 "
       "00 10 10 00 00 10 10 00 10 00 "
       "00 00 00 00 00 00 00 10 00 00 "
       "00 00 00 10 10 10 11 10 11 00",
       "2015-06-19 00:10 BST Fri", ""},
      {"msf",
       "M  00 00 00 00 00 00 00 00 00 "
       "00 00 00 00 00 00 00 00 00 10 "
       "00 00 10 10 00 10 00 00 00 00 "
       "10 00 00 10 00 10 00 00 00 00 "
       "00 00 00 00 10 00 00 00 00 00 "
       "00 00 00 11 10 11 11 10 10 00",
       "2026-10-25 01:00 GMT Sun", "summer-time-change"},
      {"msf",
       "M  00 00 00 00 00 00 00 00 00 "
       "00 00 00 00 00 00 00 00 00 10 "
       "00 00 10 10 00 10 00 00 00 00 "
       "10 00 00 10 00 10 00 00 00 00 "
       "00 00 00 00 10 10 00 00 00 00 "
       "00 00 00 11 10 11 11 10 10 00",
       nullptr, "parity"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.station) + ": " + c.frame);
    const Station& s = *FindStation(c.station);
    const std::vector<float> x = FromNotation(s, c.frame);
    const decode::Decoding d = decode::Decode(x.data(), x.size(), 44100, nullptr, 0);
    ASSERT_EQ(d.frames.size(), 1u) << d.failure;
    EXPECT_EQ(std::string(d.station->option).substr(0, 3), std::string(c.station).substr(0, 3));
    const decode::DecodedFrame& f = d.frames[0];
    if (c.time == nullptr) {
      EXPECT_FALSE(f.isTime) << TimeText(f.time);
      EXPECT_NE(f.time.problem.find(c.announce), std::string::npos) << f.time.problem;
      continue;
    }
    ASSERT_TRUE(f.isTime) << f.time.problem;
    EXPECT_EQ(TimeText(f.time), c.time);
    EXPECT_EQ(f.time.announce, c.announce);
  }
  std::mt19937 random(3);
  std::normal_distribution<double> noise(0, 0.3);
  std::vector<float> hiss(60 * 44100);
  for (float& v : hiss) v = static_cast<float>(noise(random));
  const decode::Decoding nothing = decode::Decode(hiss.data(), hiss.size(), 44100, nullptr, 0);
  EXPECT_TRUE(nothing.frames.empty());
  EXPECT_FALSE(nothing.failure.empty());
}

TEST(Decoder, EveryStationsRenderIsReadAtEveryRateAndCarrier) {
  struct Rate {
    unsigned rate;
    bool carrier;
  };
  for (const Station& s : kStations) {
    for (const Rate& r : {Rate{44100, false}, Rate{48000, false}, Rate{96000, false}, Rate{192000, true}, Rate{176400, true}}) {
      SCOPED_TRACE(std::string(s.option) + " at " + std::to_string(r.rate) + (r.carrier ? " carrier" : ""));
      if (r.carrier && !RateCarries(r.rate, s.carrierHz)) continue;
      const int frames = s.frameSeconds == 20 ? 4 : 2;
      const std::vector<float> x = Render(s, r.rate, r.carrier, frames);
      const decode::Decoding d = decode::Decode(x.data(), x.size(), r.rate, nullptr, 0);
      ASSERT_NE(d.station, nullptr) << d.failure;
      EXPECT_STREQ(d.station->option, s.option);
      EXPECT_NEAR(d.toneHz, SignalFrequency(s, r.carrier), 1.0);
      ExpectCarried(d, s, 1.0, 0, frames);
    }
  }
}

TEST(Decoder, ImpairedRendersAreReadAsRealReceptionsWouldBe) {
  const Impairment impairments[] = {
      {"clean", 44100, 1, 0, Clean},          {"noise, 10 dB in 100 Hz", 44100, 1, 0, Noisy},
      {"low parts at -16 dB", 44100, 1, 0, Reduced}, {"fading of 10 dB", 44100, 1, 0, Fading},
      {"500 ppm fast", 44100, 1.0005, 0, Fast}, {"500 ppm slow", 44100, 0.9995, 0, Slow},
      {"8 kHz 8-bit 1 kHz beat note", 8000, 1, 0, BeatNote}, {"a second dropped", 44100, 1, 1000, Dropped<1000>},
      {"a recording that jumps by 0.4 s", 44100, 1, 400, Dropped<400>},
  };
  for (const Station& s : kStations) {
    const std::vector<float> render = Render(s, 44100);
    for (const Impairment& i : impairments) {
      SCOPED_TRACE(std::string(s.option) + ", " + i.what);
      const std::vector<float> x = i.make(render, s);
      // A beat note tells JJY40 from JJY60 no more: the station is given.
      const bool given = i.make == BeatNote && std::string(s.option).rfind("jjy", 0) == 0;
      const decode::Decoding d = decode::Decode(x.data(), x.size(), i.rate, given ? &s : nullptr, 0);
      ASSERT_NE(d.station, nullptr) << d.failure;
      EXPECT_EQ(std::string(d.station->option).substr(0, 3), std::string(s.option).substr(0, 3));
      ExpectCarried(d, s, i.clockRatio, i.droppedMs);
    }
  }
}

// A live input, from a 1 kHz beat note at 8 kHz (cheap to decode over and
// over): 10 ms blocks, the first sample 7 ms after the render's start on the
// system clock, every tenth block dated 40 ms late (the sound system's
// thread held), 3 s of silence at the end so that the last frame settles,
// and optionally samples lost, which the dates show.
TEST(LiveDecoder, EachWholeFrameComesOnceWithItsMarkOnTheSystemClock) {
  constexpr double kRate = 8000;
  constexpr double kMarkMs = 7;
  struct Case {
    const char* station;
    double lostFromS, lostS;  // lostS 0: none
    std::vector<int> heard;   // the carried frames that come
  };
  const Case cases[] = {{"dcf77", 0, 0, {0, 1, 2}}, {"bpc", 0, 0, {0, 1, 2, 3, 4, 5}}, {"msf", 90, 2, {0, 2}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.station);
    const Station& s = *FindStation(c.station);
    std::vector<float> x = BeatNote(Render(s, 44100), s);
    x.resize(x.size() + static_cast<std::size_t>(3 * kRate), 0.0F);
    decode::LiveDecoder live(kRate, nullptr, 0);
    std::vector<decode::HeardFrame> heard;
    int gaps = 0;
    const auto block = static_cast<std::size_t>(kRate / 100);
    const auto lostFrom = static_cast<std::size_t>(c.lostFromS * kRate), lostTo = lostFrom + static_cast<std::size_t>(c.lostS * kRate);
    for (std::size_t i = 0, b = 0; i < x.size(); i += block, ++b) {
      if (c.lostS > 0 && i >= lostFrom && i < lostTo) continue;
      const double late = b % 10 == 3 ? 40e6 : 0;
      const auto firstNs = static_cast<std::int64_t>(static_cast<double>(kStart) * 1e9 + kMarkMs * 1e6 +
                                                      static_cast<double>(i) * 1e9 / kRate + late);
      if (const double lost = live.Add(x.data() + i, std::min(block, x.size() - i), firstNs); lost > 0) {
        ++gaps;
        EXPECT_NEAR(lost, c.lostS, 0.05);
      }
      for (const decode::HeardFrame& h : live.Poll()) heard.push_back(h);
    }
    EXPECT_EQ(gaps, c.lostS > 0 ? 1 : 0);
    const std::vector<Carried> carried = CarriedBy(s);
    std::vector<std::string> read, sent;
    for (const decode::HeardFrame& h : heard) {
      EXPECT_TRUE(h.frame.isTime) << h.frame.time.problem;
      read.push_back(TimeText(h.frame.time));
      EXPECT_NEAR(h.markOffsetMs, kMarkMs, 1.0) << TimeText(h.frame.time);
    }
    for (int k : c.heard) sent.push_back(carried[static_cast<std::size_t>(k)].time);
    EXPECT_EQ(read, sent);
    if (c.lostS == 0) {
      for (std::size_t k = 0; k < heard.size() && k < carried.size(); ++k) {
        EXPECT_NEAR(heard[k].frame.beginsS, carried[k].beginsS, 0.015);
      }
    }
  }
}

}  // namespace
