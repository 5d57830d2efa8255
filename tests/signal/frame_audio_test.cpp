#include "signal/frame_audio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "res/strings.h"
#include "signal/station_audio.h"
#include "signal/stations/bpc.h"
#include "tests/signal/station_decoder.h"

namespace {

const unsigned kRates[] = {44100, 48000, 96000};

// Samples before the first one that is not 0, at most `limit`.
std::size_t LeadingSilence(const std::int16_t* samples, std::size_t limit) {
  std::size_t n = 0;
  while (n < limit && samples[n] == 0) ++n;
  return n;
}

std::vector<std::int16_t> Frame(unsigned rate, int year, int month, int day, int weekday, unsigned hour, int minute,
                                int second) {
  std::vector<std::int16_t> samples(FrameSamples(rate));
  BuildFrameAudio(year, month, day, weekday, hour, minute, second, rate, samples.data());
  return samples;
}

// The tone at absolute index n, with the phase reduced exactly in integers
// rather than from one large floating-point argument.
long ReferenceTone(unsigned long long n, unsigned rate) {
  const long double pi = 3.141592653589793238462643383279502884L;
  unsigned long long cycle = (13700ULL * n) % rate;
  long double s = std::sin(2 * pi * static_cast<long double>(cycle) / rate);
  return static_cast<long>(s * 32767.5L - 0.5L);
}

TEST(BuildFrameAudio, FirstSamplesOfAFrame) {
  std::vector<std::int16_t> a = Frame(44100, 2017, 1, 1, 1, 1, 1, 1);
  EXPECT_EQ(std::vector<std::int16_t>(a.begin(), a.begin() + 5), (std::vector<std::int16_t>{0, 30415, -22628, -13583, 32731}));
  std::vector<std::int16_t> b = Frame(96000, 2017, 1, 1, 1, 1, 1, 1);
  EXPECT_EQ(std::vector<std::int16_t>(b.begin(), b.begin() + 5), (std::vector<std::int16_t>{0, 25599, 31959, 14299, -14107}));
}

TEST(SynthesizeSecond, SilenceLengthForEverySymbolAtEveryRate) {
  for (unsigned rate : kRates) {
    for (int symbol = -1; symbol <= 3; ++symbol) {  // -1: the reference marker
      const double off = (symbol + 1) * 100.0;
      const std::size_t silent = rate * static_cast<std::size_t>(symbol + 1) / 10;
      std::vector<std::int16_t> s(rate + 16, 0x5A5A);
      const unsigned second = 7;
      SynthesizeSecond(s.data(), second * rate, kToneFrequency, off, rate);
      const std::string where = std::to_string(rate) + " Hz, " + std::to_string(off) + " ms";

      for (std::size_t k = 0; k < silent; ++k) ASSERT_EQ(s[k], 0) << where << ", sample " << k;
      // The tone resumes on a zero crossing, so the next nonzero sample
      // follows within two.
      EXPECT_LE(LeadingSilence(s.data(), rate), silent + 2) << where;
      int loudest = 0;
      for (std::size_t k = silent; k < rate; ++k) {
        loudest = std::max(loudest, std::abs(static_cast<int>(s[k])));
        if ((k - silent) % 8 == 7) {
          ASSERT_GT(loudest, 25000) << where << ": tone missing near sample " << k;
          loudest = 0;
        }
      }
      for (std::size_t k = rate; k < s.size(); ++k) ASSERT_EQ(s[k], 0x5A5A) << where << ": wrote past the second";
    }
  }
}

TEST(BuildFrameAudio, WritesExactlyOneFrameAndEverySampleOfIt) {
  for (unsigned rate : kRates) {
    const std::size_t n = FrameSamples(rate);
    std::vector<std::int16_t> a(n + 64, 0x1111), b(n + 64, -0x2222);
    BuildFrameAudio(2026, 12, 31, 5, 23, 59, 41, rate, a.data());
    BuildFrameAudio(2026, 12, 31, 5, 23, 59, 41, rate, b.data());
    EXPECT_TRUE(std::equal(a.begin(), a.begin() + n, b.begin())) << rate << ": a sample was left unwritten";
    for (std::size_t k = n; k < a.size(); ++k) ASSERT_EQ(a[k], 0x1111) << rate << ": wrote past the frame";
  }
}

TEST(BuildFrameAudio, SilencesCarryTheFrameSymbols) {
  for (unsigned rate : kRates) {
    std::vector<std::int16_t> s = Frame(rate, 2026, 12, 31, 5, 23, 59, 41);
    EXPECT_EQ(station_test::HeardBpcFrame(s, 0, rate), "0,2,0,2,3,3,2,3,1,0,2,1,3,3,3,0,1,2,2,0") << rate;
  }
}

TEST(BuildFrameAudio, ToneRunsOnAcrossSecondsAndFrames) {
  for (unsigned rate : kRates) {
    // Two frames back to back, as the transmitter queues them.
    const std::size_t n = FrameSamples(rate);
    std::vector<std::int16_t> s(2 * n);
    BuildFrameAudio(2017, 1, 1, 1, 1, 1, 1, rate, s.data());
    BuildFrameAudio(2017, 1, 1, 1, 1, 1, 21, rate, s.data() + n);
    std::size_t compared = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (s[i] == 0) continue;  // silence, or a sample on a zero crossing
      ASSERT_LE(std::labs(s[i] - ReferenceTone(i, rate)), 1) << rate << " Hz, sample " << i;
      ++compared;
    }
    // At least the tone of every frame's reference second and the second halves.
    EXPECT_GT(compared, n);
  }
}

TEST(BuildTestSignal, SixFramesOfSundayMorning) {
  std::vector<std::int16_t> s(kTestSignalSamples);
  BuildTestSignal(s.data());
  const std::size_t frame = FrameSamples(kTestSignalRate);
  EXPECT_EQ(station_test::HeardBpcFrame(s, 0, kTestSignalRate), "0,0,0,0,1,0,0,1,1,3,1,0,0,1,0,1,1,0,1,0");
  const int minutes[6] = {1, 1, 1, 2, 2, 2};
  const int seconds[6] = {1, 21, 41, 1, 21, 41};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(station_test::HeardBpcFrame(s, k * frame, kTestSignalRate),
              station_test::BpcFrameText(2017, 1, 1, 1, 1, minutes[k], seconds[k]))
        << "frame " << k;
  }
}

TEST(FrameAudio, ModesFormatAndBufferSizes) {
  EXPECT_EQ(kTransmitModes[0].text, &res::kMode0);
  EXPECT_EQ(kTransmitModes[2].text, &res::kMode2);
  EXPECT_EQ(kTransmitModes[3].text, &res::kMode3);
  // GBK of the item text for mode 1
  EXPECT_STREQ(kTransmitModes[1].text->In(res::Language::Chinese), "\xC4\xA3\xCA\xBD\x31");
  struct Mode {
    unsigned rate;
    std::uint32_t capability;
    bool carrier;
  };
  const Mode modes[kTransmitModeCount] = {
      {44100, 0, false}, {48000, 0x4000, false}, {96000, 0x40000, false}, {192000, platform::kWaveFormat192M16, true}};
  for (int i = 0; i < kTransmitModeCount; ++i) {
    EXPECT_EQ(kTransmitModes[i].rate, modes[i].rate);
    EXPECT_EQ(kTransmitModes[i].capability, modes[i].capability);
    EXPECT_EQ(kTransmitModes[i].carrier, modes[i].carrier);
    EXPECT_EQ(FindTransmitMode(modes[i].rate), &kTransmitModes[i]);
  }
  const unsigned rates[] = {44100, 48000, 96000, 176400, 192000};
  const std::size_t bytes[] = {1764000, 1920000, 3840000, 7056000, 7680000};
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(IsTransmitRate(rates[i]));
    EXPECT_EQ(FrameBytes(rates[i]), bytes[i]);
    EXPECT_LE(FrameBytes(rates[i]), kFrameBufferBytes);
    platform::WaveFormat f = FrameAudioFormat(rates[i]);
    EXPECT_EQ(f.wFormatTag, 1);
    EXPECT_EQ(f.nChannels, 1);
    EXPECT_EQ(f.nSamplesPerSec, rates[i]);
    EXPECT_EQ(f.nAvgBytesPerSec, 2 * rates[i]);
    EXPECT_EQ(f.nBlockAlign, 2);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.cbSize, 0);
  }
  EXPECT_EQ(FindTransmitMode(176400), nullptr);
  EXPECT_EQ(SampleRateChoices("|", " or "), "44100|48000|96000|176400 or 192000");
  EXPECT_FALSE(IsTransmitRate(22050));
  EXPECT_FALSE(IsTransmitRate(0));
  EXPECT_EQ(kTestSignalBytes, 10584000u);
}

}  // namespace
