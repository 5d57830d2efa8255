// The transmitter on frequency through the real sound stack: the private
// PulseAudio's null sinks run their own sample clocks, off the system
// clock's, and the tone (whose harmonic the watch hears) and the carrier
// itself must be on frequency in the system clock's time all the same.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "platform/local_time.h"
#include "signal/station_table.h"
#include "tests/cli_command.h"
#include "tests/e2e/sound_server.h"
#include "tests/e2e/timed_recording.h"
#include "tests/sound_checks.h"

namespace {

struct Transmission {
  const char* station;
  const char* sink;
  unsigned rate;
  bool carrier;
  e2e::Child cli;
  std::vector<std::string> lines;
};

// The system time at which the log line "HH:MM:SS  text" was printed,
// within the last minutes: the whole second it names.
std::int64_t PrintedAtNs(const std::string& line) {
  std::smatch m;
  if (!std::regex_search(line, m, std::regex("^(\\d\\d):(\\d\\d):(\\d\\d)  "))) return 0;
  const platform::Time64 now = platform::CurrentTime();
  for (platform::Time64 t = now; t > now - 600; --t) {
    const platform::CivilTime f = platform::ToLocalTime(t);
    if (f.hour == std::stoi(m[1]) && f.minute == std::stoi(m[2]) && f.second == std::stoi(m[3])) {
      return t * e2e::kSecondNs;
    }
  }
  return 0;
}

// DCF77 for two minutes into each sink at once: its 15 500 Hz tone at
// 44 100 Hz, and its 77 500 Hz carrier at 192 000 Hz; WWVB's 20 000 Hz tone
// at 44 100 Hz beside them. From the second minute on, the tones'
// harmonics and the carrier lie near their carriers,
// measured against the times at which the sink's samples came. Uncorrected
// they lie 8 to 16 Hz off (the sinks run 100 to 200 ppm fast); how close
// the correction gets on an idle machine is the benchmark's to say: a busy
// one throws the measurement by up to some 20 ppm, 1.5 Hz here.
constexpr double kOnFrequencyHz = 4.0;
TEST(SoundFrequency, TheToneAndTheCarrierAreOnFrequencyFromTheSecondMinute) {
  if (test_support::CliIsWindowsBuild()) {
    GTEST_SKIP() << "waveOut under Wine tells no steady position to measure the sample clock by";
  }
  // A sound server each: two streams on one server throw its latency
  // reports, whose times the transmitter measures the sample clock by.
  e2e::PrivateSoundServer servers[3];
  e2e::PulseSimple pa;
  ASSERT_TRUE(pa.Load()) << "libpulse-simple.so.0";
  Transmission runs[] = {{"dcf77", e2e::PrivateSoundServer::kSink, 44100, false, {}, {}},
                         {"dcf77", e2e::PrivateSoundServer::kCarrierSink, 192000, true, {}, {}},
                         {"wwvb", e2e::PrivateSoundServer::kSink, 44100, false, {}, {}}};
  std::vector<std::unique_ptr<e2e::TimedRecorder>> recorders;
  for (std::size_t k = 0; k < std::size(runs); ++k) {
    Transmission& run = runs[k];
    // Each server's clients reach it through the environment it sets.
    std::string error;
    ASSERT_TRUE(servers[k].Start(error)) << error;
    recorders.push_back(std::make_unique<e2e::TimedRecorder>(pa, run.rate, run.sink));
    ASSERT_TRUE(recorders.back()->Start());
    std::vector<std::string> command = test_support::CliCommand(TEMPIOLA_CLI);
    for (const char* word : {"transmit", "--station", run.station, "--minutes", "2", "--rate"}) command.emplace_back(word);
    command.push_back(std::to_string(run.rate));
    if (run.carrier) command.emplace_back("--carrier");
    ::setenv("PULSE_SINK", run.sink, 1);
    ASSERT_TRUE(run.cli.Spawn(command, "", (servers[k].dir() / "cli.err").string()));
    ::unsetenv("PULSE_SINK");
  }
  for (std::size_t k = 0; k < std::size(runs); ++k) {
    while (auto line = runs[k].cli.ReadLine()) runs[k].lines.push_back(*line);
    EXPECT_EQ(runs[k].cli.Wait(std::chrono::seconds(30)), 0) << e2e::ReadFile(servers[k].dir() / "cli.err");
  }
  for (auto& recorder : recorders) recorder->Stop();

  for (std::size_t k = 0; k < std::size(runs); ++k) {
    const Transmission& run = runs[k];
    const Station& station = *FindStation(run.station);
    std::string log;
    std::int64_t firstFrameNs = 0;
    for (const std::string& line : run.lines) {
      log += "\n" + line;
      if (firstFrameNs == 0 && line.find("  正在发波 ") != std::string::npos) firstFrameNs = PrintedAtNs(line);
    }
    SCOPED_TRACE(std::string(run.station) + " into " + run.sink + " printed:" + log);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_TRUE(std::regex_match(run.lines.back(), std::regex("sample clock [-+][0-9.]+ ppm against the system clock "
                                                             "\\(over [0-9]+ s\\): tone and seconds corrected for "
                                                             "[-+][0-9.]+ ppm")));
    ASSERT_NE(firstFrameNs, 0);
    const e2e::TimedRecorder& rec = *recorders[k];
    const e2e::TimedRecorder::Stretch stretch =
        rec.SteadiestStretch(rec.SampleAt(firstFrameNs + 60 * e2e::kSecondNs), rec.SampleAt(firstFrameNs + 120 * e2e::kSecondNs));
    ASSERT_GT(stretch.to - stretch.from, 20 * static_cast<std::int64_t>(run.rate)) << "too little heard without a stall";
    const double hz = run.carrier ? station.carrierHz : station.toneHz;
    const tone_test::Measured tone = tone_test::MeasureTone(rec.samples().data(), static_cast<std::size_t>(stretch.from),
                                                            static_cast<std::size_t>(stretch.to), run.rate, hz);
    const double onTheAir = tone.hz * stretch.samplesPerSecond / run.rate * (station.carrierHz / hz);
    EXPECT_NEAR(onTheAir, station.carrierHz, kOnFrequencyHz) << "sink clock " << (stretch.samplesPerSecond / run.rate - 1) * 1e6
                                                << " ppm, over " << tone.seconds << " s of tone; in the samples "
                                                << tone.hz << " Hz at " << run.rate;
  }
}

}  // namespace
