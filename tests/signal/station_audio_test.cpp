#include "signal/station_audio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "signal/station_table.h"
#include "tests/sound_checks.h"

namespace {

constexpr platform::Time64 kNewYear2027 = 1798761600;  // 00:00 UTC, a minute and a BPC frame boundary

struct Clocked {
  const char* station;
  unsigned rate;
  double ppm;
  bool carrier;
};

// A minute of sound made for devices whose sample clocks run off, in three
// pieces as the transmitter makes them: on frequency and on time in the
// system clock's seconds, and otherwise what the nominal sound is.
TEST(ClockedSynthesis, ToneAndSecondsFollowTheDevicesSampleClock) {
  const Clocked cases[] = {
      {"dcf77", 44100, 300, false},
      {"wwvb", 48000, -300, false},
      {"bpc", 192000, 151.2, true},
      {"jjy40", 96000, -1000, true},
      {"msf", 176400, 1000, true},
  };
  for (const Clocked& c : cases) {
    SCOPED_TRACE(std::string(c.station) + " at " + std::to_string(c.rate) + ", " + std::to_string(c.ppm) + " ppm");
    const Station& station = *FindStation(c.station);
    const double frequency = SignalFrequency(station, c.carrier);
    const double ratio = 1 + c.ppm / 1e6;
    std::vector<std::int16_t> nominal(std::size_t{60} * c.rate);
    std::vector<std::int16_t> clocked(ClockedSamplesBound(60, c.rate));
    ClockedSynthesis synth{ratio, 0, 0};
    std::size_t done = 0;
    for (unsigned piece = 0; piece < 3; ++piece) {
      const platform::Time64 second = kNewYear2027 + 20 * piece;
      const platform::Time64 frameStart = second - (second - kNewYear2027) % station.frameSeconds;
      const auto first = static_cast<unsigned>(second - frameStart);
      BuildStationAudio(station, frequency, frameStart, first, kPieceSeconds, c.rate, &nominal[20u * c.rate * piece]);
      const std::size_t n = BuildClockedStationAudio(station, frequency, frameStart, first, kPieceSeconds, c.rate, synth,
                                                     clocked.data() + done);
      ASSERT_LE(n, ClockedSamplesBound(kPieceSeconds, c.rate));
      done += n;
      // Each piece ends where 20 s of the device's samples end.
      EXPECT_NEAR(static_cast<double>(done), 20.0 * (piece + 1) * c.rate * ratio, 1.0);
    }
    const tone_test::Measured tone = tone_test::MeasureTone(clocked.data(), 0, done, c.rate * ratio, frequency);
    EXPECT_NEAR(tone.hz, frequency, 0.01) << "in the time of the device's samples";
    EXPECT_GT(tone.amplitude, 32000);
    const double step = 2 * tone_test::kPi * frequency / (c.rate * ratio);
    EXPECT_EQ(tone_test::FirstJump(clocked.data(), 0, done, step), done) << "the tone runs on across the pieces";
    // The silences are the nominal ones, each at its instant in the
    // device's samples.
    EXPECT_TRUE(tone_test::SameSilences(tone_test::Silences(nominal.data(), nominal.size()),
                                        tone_test::Silences(clocked.data(), done), ratio, 2.0));
  }
}

// Samples added to keep the seconds on the clock go first in a piece, as
// more of the tone that ended the frame before (BPC's frames end and begin
// with tone); dropped ones come off its end. Either way the tone runs on.
TEST(ClockedSynthesis, AdjustedPiecesKeepTheToneRunning) {
  const Station& bpc = kStations[0];
  const double ratio = 1.0002;
  for (int adjust : {441, -441}) {
    SCOPED_TRACE(adjust);
    std::vector<std::int16_t> out(2 * ClockedSamplesBound(20, 44100) + 441);
    ClockedSynthesis synth{ratio, 0, 0};
    const std::size_t first = BuildClockedStationAudio(bpc, bpc.toneHz, kNewYear2027, 0, 20, 44100, synth, out.data(),
                                                       adjust < 0 ? adjust : 0);
    const std::size_t second = BuildClockedStationAudio(bpc, bpc.toneHz, kNewYear2027 + 20, 0, 20, 44100, synth,
                                                        out.data() + first, adjust > 0 ? adjust : 0);
    EXPECT_NEAR(static_cast<double>(first + second), 40 * 44100 * ratio + adjust, 1.0);
    const double step = 2 * tone_test::kPi * bpc.toneHz / (44100 * ratio);
    EXPECT_EQ(tone_test::FirstJump(out.data(), 0, first + second, step), first + second);
    // The second piece's second 1 begins a second after its seconds do.
    const std::vector<tone_test::Silence> silences = tone_test::Silences(out.data() + first, second);
    ASSERT_FALSE(silences.empty());
    EXPECT_NEAR(static_cast<double>(silences[0].begin), (adjust > 0 ? adjust : 0) + 44100 * ratio, 1.0);
  }
}

}  // namespace
