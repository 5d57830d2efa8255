#include "signal/transmitter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>
#include <vector>

#include "signal/frame_audio.h"
#include "signal/station_audio.h"
#include "signal/station_notation.h"
#include "signal/station_table.h"
#include "signal/stations/bpc.h"
#include "tests/signal/scripted_wave_out.h"
#include "tests/signal/station_decoder.h"
#include "tests/sound_checks.h"

namespace {

using platform::Time64;
using tx_test::Status;

// China Standard Time, no daylight saving: the wall-clock times below mean
// the same instant on every machine.
void UseZone(const char* tz) {
  static char setting[64];  // putenv keeps the string itself
  std::snprintf(setting, sizeof setting, "TZ=%s", tz);
  ::putenv(setting);
  ::tzset();
}
const bool kZoneSet = [] {
  UseZone("CST-8");
  return true;
}();

Time64 At(int year, int month, int day, int hour, int minute, int second) {
  Time64 t = 0;
  EXPECT_TRUE(platform::BuildLocalTime(year, month, day, hour, minute, second, t));
  return t;
}

// What a receiver should read from the frame whose symbol 1 is at t.
std::string FrameFor(Time64 t) { return station_test::BpcFrameText(t); }

// The BPC frame a buffer opens with, as heard.
std::string Decode(const platform::WaveHeader* h, unsigned rate) {
  const std::span samples(reinterpret_cast<const std::int16_t*>(h->lpData), h->dwBufferLength / 2);
  return station_test::HeardBpcFrame(samples, 0, rate);
}

// One symbol of a heard BPC frame ("0,2,0,..." one digit a second).
int SymbolAt(const std::string& heard, int second) { return heard.at(2 * static_cast<std::size_t>(second)) - '0'; }

class TransmitterTest : public ::testing::Test {
 protected:
  TransmitterTest() {
    ctx.pDevice = &device;
    ctx.pClock = &clock;
    ctx.hDialogWnd = statuses.handle();
  }
  ~TransmitterTest() override { StopTransmitterThread(&ctx); }

  // Starts the thread and takes its capability report.
  void StartThread() {
    ASSERT_EQ(StartTransmitterThread(&ctx), 1);
    ASSERT_EQ(statuses.Next(), (Status{kTxCapabilities, static_cast<std::intptr_t>(device.formats)}));
  }
  void Start(Time64 at, int rate = 44100) {
    clock.Set(at);
    ctx.nSampleRate = rate;
    ctx.hStartEvent->Set();
  }
  void Stop() { ctx.hStopEvent->Set(); }

  // Counts down from the start at 10:15:07 to the boundary at 10:15:20.
  void RunCountdownFrom1015_07() {
    Start(At(2026, 3, 9, 10, 15, 7));
    for (int second = 7; second < 20; ++second) {
      clock.Set(At(2026, 3, 9, 10, 15, second));
      ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 20 - second}));
    }
    clock.Set(At(2026, 3, 9, 10, 15, 20));
    ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 1}));
  }

  tx_test::ScriptedWaveOut device;
  tx_test::VirtualClock clock;
  tx_test::StatusRecorder statuses{WM_TX_STATUS, kTxFrameSent};
  TransmitterContext ctx;
};

TEST_F(TransmitterTest, StartAt101507CountsDown13To1AndBeginsAt101520) {
  StartThread();
  RunCountdownFrom1015_07();

  // Armed with the boundary's instant at the last count, to start on it to
  // the sample; started at the boundary in case it could not.
  EXPECT_EQ(device.Calls(),
            (std::vector<std::string>{"numdevs", "caps", "open 44100", "prepare", "prepare", "pause", "write", "write",
                                      "restart at " + std::to_string(At(2026, 3, 9, 10, 15, 20)), "restart"}));
  EXPECT_FALSE(device.IsPaused());
  // Both frames were built before the countdown: 10:15:21 (frame position 1)
  // in the buffer that plays first, then 10:15:41.
  std::vector<platform::WaveHeader*> queue = device.Queue();
  ASSERT_EQ(queue.size(), 2u);
  EXPECT_EQ(queue[0]->dwBufferLength, FrameBytes(44100));
  const std::string first = Decode(queue[0], 44100);
  EXPECT_EQ(first, FrameFor(At(2026, 3, 9, 10, 15, 21)));
  EXPECT_EQ(SymbolAt(first, 1), 1);
  EXPECT_EQ(Decode(queue[1], 44100), FrameFor(At(2026, 3, 9, 10, 15, 41)));
}

TEST_F(TransmitterTest, EachFinishedBufferIsRefilledWithTheFrame40SecondsLater) {
  StartThread();
  RunCountdownFrom1015_07();

  Time64 expected = At(2026, 3, 9, 10, 16, 1);
  for (int n = 2; n <= 5; ++n, expected += 20) {
    platform::WaveHeader* finishing = device.Queue().at(0);
    ASSERT_TRUE(device.FinishFront());
    ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, n}));
    std::vector<platform::WaveHeader*> queue = device.Queue();
    ASSERT_EQ(queue.size(), 2u);
    // The finished slot went back to the end of the queue with the next frame.
    EXPECT_EQ(queue[1], finishing);
    EXPECT_EQ(Decode(queue[1], 44100), FrameFor(expected)) << "frame " << n + 1;
  }
  EXPECT_EQ(device.Count("write"), 6);

  // A device signal with nothing finished leaves the buffers alone: the
  // stop handled after it is the next thing reported.
  device.SignalOnly();
  ASSERT_TRUE(device.WaitUntilEventTaken());
  Stop();
  EXPECT_EQ(statuses.Next(), (Status{kTxStopped, 0}));
  EXPECT_EQ(device.Count("write"), 6);
}

TEST_F(TransmitterTest, FirstFrameStartsOnTheNextBoundaryForEveryStartSecond) {
  StartThread();
  for (int s = 0; s < 60; ++s) {
    SCOPED_TRACE("start at second " + std::to_string(s));
    // The boundary at least about four seconds ahead, and symbol 1 after it.
    int boundary = s <= 15 ? 20 : s <= 35 ? 40 : s <= 55 ? 0 : 20;
    Time64 minute = At(2026, 12, 31, 23, 59, 0);
    Time64 t = minute + (s <= 15 ? 21 : s <= 35 ? 41 : s <= 55 ? 61 : 81);

    Start(minute + s);
    ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, (boundary - s + 60) % 60}));
    std::vector<platform::WaveHeader*> queue = device.Queue();
    ASSERT_EQ(queue.size(), 2u);
    EXPECT_EQ(Decode(queue[0], 44100), FrameFor(t));
    EXPECT_EQ(Decode(queue[1], 44100), FrameFor(t + 20));

    // Not a second early; at once when the clock enters the boundary second.
    clock.Set(t - 2);
    ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 1}));
    EXPECT_EQ(device.Calls().back(), "restart at " + std::to_string(t - 1));
    EXPECT_TRUE(device.IsPaused());
    clock.Set(t - 1);
    ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 1}));
    EXPECT_FALSE(device.IsPaused());

    Stop();
    ASSERT_EQ(statuses.Next(), (Status{kTxStopped, 0}));
  }
}

// A poll that sees the last second before the boundary too late to arm
// the device in time (a stalled machine) leaves it to the start at the
// boundary; one armed device started by its schedule is not started again
// and counts as transmitting from the boundary on.
TEST_F(TransmitterTest, TheFirstFramePlaysFromTheBoundaryWithOrWithoutASchedule) {
  StartThread();
  Start(At(2026, 3, 9, 10, 15, 7));
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 13}));
  clock.Set(At(2026, 3, 9, 10, 15, 20));
  ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 1}));
  EXPECT_EQ(device.Count("restart at " + std::to_string(At(2026, 3, 9, 10, 15, 20))), 0);
  EXPECT_EQ(device.Calls().back(), "restart");
  EXPECT_FALSE(device.IsPaused());
  Stop();
  ASSERT_EQ(statuses.Next(), (Status{kTxStopped, 0}));

  device.keepsSchedule = true;
  Start(At(2026, 3, 9, 10, 15, 35));
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 5}));
  clock.Set(At(2026, 3, 9, 10, 15, 39));
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 1}));
  EXPECT_FALSE(device.IsPaused());
  clock.Set(At(2026, 3, 9, 10, 15, 40));
  ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 1}));
  ASSERT_TRUE(device.FinishFront());
  ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 2}));
  EXPECT_EQ(Decode(device.Queue().at(1), 44100), FrameFor(At(2026, 3, 9, 10, 16, 21)));
}

TEST_F(TransmitterTest, StartBeforeMidnightOnNewYearsEveSendsTheNewYear) {
  StartThread();
  Start(At(2026, 12, 31, 23, 59, 50));
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 10}));
  const std::string first = Decode(device.Queue().at(0), 44100);
  EXPECT_EQ(first, FrameFor(At(2027, 1, 1, 0, 0, 1)));
  // 2027-01-01 is a Friday: 5 on air.
  EXPECT_EQ(SymbolAt(first, 8) * 4 + SymbolAt(first, 9), 5);
  EXPECT_EQ(SymbolAt(first, 18), 3);  // year 27 = 1*16 + 2*4 + 3
}

// A minute station starts on a minute at least about four seconds ahead
// and plays each frame as three 20-second pieces from the same two buffers;
// JJY40's tone, which does not fit whole cycles into 20 s, runs on across
// them as in one piece.
TEST_F(TransmitterTest, AMinuteStationPlaysEachFrameInThreePiecesFromTheMinute) {
  const Station& jjy40 = *FindStation("jjy40");
  ctx.pStation = &jjy40;
  StartThread();
  Start(At(2026, 12, 31, 23, 58, 56));
  const Time64 boundary = At(2027, 1, 1, 0, 0, 0);
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 64}));
  clock.Set(boundary - 1);
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 1}));
  clock.Set(boundary);
  ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 1}));

  const std::size_t piece = FrameSamples(44100);
  std::vector<std::int16_t> played;
  auto take = [&](platform::WaveHeader* h) {
    const auto* samples = reinterpret_cast<const std::int16_t*>(h->lpData);
    played.insert(played.end(), samples, samples + piece);
  };
  take(device.Queue().at(0));
  take(device.Queue().at(1));
  for (int n = 2; n <= 4; ++n) {
    ASSERT_TRUE(device.FinishFront());
    ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, n}));
    take(device.Queue().at(1));
  }
  std::vector<std::int16_t> whole(5 * piece);
  BuildStationAudio(jjy40, jjy40.toneHz, boundary, 0, 60, 44100, whole.data());
  BuildStationAudio(jjy40, jjy40.toneHz, boundary + 60, 0, 40, 44100, whole.data() + 3 * piece);
  EXPECT_TRUE(played == whole);
  StationFrame carried{};
  jjy40.encode(boundary, carried);
  EXPECT_EQ(station_test::DecodeFrame(jjy40, played, 0, 44100), StationFrameText(jjy40, carried));
}

// Moved by a server's offset of +3723.25 s, the frames carry the moved time
// and the boundary is the moved clock's second: the device is aimed at the
// system clock's 10:15:16.75, when the moved clock reads 11:17:20.
TEST_F(TransmitterTest, AnOffsetMovesBothTheTimeSentAndTheBoundary) {
  ctx.nOffsetNs = 3723250000000;
  StartThread();
  Start(At(2026, 3, 9, 10, 15, 7));
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 10}));
  clock.Set(At(2026, 3, 9, 10, 15, 16), 700000000);
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 1}));
  clock.Set(At(2026, 3, 9, 10, 15, 16), 750000000);
  ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 1}));
  const std::vector<std::string> calls = device.Calls();
  EXPECT_EQ(calls.at(calls.size() - 2), "restart at " + std::to_string(At(2026, 3, 9, 10, 15, 16)) + "+750000000ns");
  EXPECT_EQ(Decode(device.Queue().at(0), 44100), FrameFor(At(2026, 3, 9, 11, 17, 21)));
  EXPECT_EQ(Decode(device.Queue().at(1), 44100), FrameFor(At(2026, 3, 9, 11, 17, 41)));
}

// Where summer time ends, the hour (Lord Howe: the half hour) before the
// change is played twice, and a wall time in it names two instants. The
// first boundary is found on the instant, in either pass: 8 s ahead of a
// start at second 32, and each frame carries the local time at which it
// plays, across the change too.
TEST_F(TransmitterTest, InTheRepeatedHourTheFirstBoundaryIsTheInstantsAndFramesFollowTheClock) {
  struct Case {
    const char* zone;
    Time64 start;  // local second 32, in the repeated hour or half hour
  };
  // At() reads China's wall time, 8 h ahead of UTC.
  const Case cases[] = {
      {"CET-1CEST,M3.5.0,M10.5.0/3", At(2026, 10, 25, 8, 59, 32)},          // 02:59:32 CEST, the first pass
      {"MST7MDT,M3.2.0,M11.1.0", At(2026, 11, 1, 16, 59, 32)},              // 01:59:32 MST, the second
      {"<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", At(2026, 4, 4, 22, 59, 32)},  // 01:59:32 +11, the first
      {"<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", At(2026, 4, 4, 23, 15, 32)},  // 01:45:32 +1030, the second
  };
  StartThread();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    UseZone(c.zone);
    Start(c.start);
    ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 8}));
    EXPECT_EQ(Decode(device.Queue().at(0), 44100), FrameFor(c.start + 9));
    EXPECT_EQ(Decode(device.Queue().at(1), 44100), FrameFor(c.start + 29));
    Stop();
    ASSERT_EQ(statuses.Next(), (Status{kTxStopped, 0}));
  }
  UseZone("CST-8");
}

// An output whose sample clock runs 200 ppm fast (the private null sink's)
// would move every second 4 ms earlier each piece, 1.2 s in ten minutes.
// Told when each buffer began, the transmitter adds samples at the ends of
// pieces until the buffers begin on their seconds again, and keeps them there.
TEST_F(TransmitterTest, PiecesAreLengthenedOrShortenedToBeginOnTheirSeconds) {
  StartThread();
  RunCountdownFrom1015_07();
  constexpr double kFast = 1.0002;
  std::int64_t startNs = At(2026, 3, 9, 10, 15, 20) * 1000000000;  // the first began on time
  std::int64_t worstLateNs = 0;
  for (int n = 2; n <= 31; ++n) {  // ten minutes
    const platform::WaveHeader* playing = device.Queue().at(0);
    startNs += std::llround(playing->dwBufferLength / 2 * 1e9 / (44100 * kFast));
    clock.Set(startNs / 1000000000, startNs % 1000000000);
    ASSERT_TRUE(device.FinishFront(startNs));
    ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, n}));
    const std::int64_t offNs = startNs - (At(2026, 3, 9, 10, 15, 20) + 20 * (n - 1)) * 1000000000LL;
    if (n > 8) worstLateNs = std::max(worstLateNs, std::abs(offNs));
  }
  EXPECT_LT(worstLateNs, 1000000) << "within a millisecond of their seconds";
  // The adjustment sits at a piece's end: the frames still read right.
  EXPECT_EQ(Decode(device.Queue().at(0), 44100), FrameFor(At(2026, 3, 9, 10, 25, 21)));
}

// Told how fast the device's sample clock runs (300 ppm fast or slow, as
// the sound system measures it, or as the user knows it), the transmitter
// makes every piece for it: the tone on its frequency and every second as
// long as the system clock's, so that the edges stay on their seconds
// without a piece being set back each time. A figure measured during the
// countdown remakes the queued pieces; one measured while the first piece
// plays remakes the second, which begins on its second. A stall is still a
// stall, and the correction outlives it.
TEST_F(TransmitterTest, PiecesAreMadeForTheDevicesSampleClock) {
  device.tellsPlayTimes = true;  // a measured figure is taken only from such a device
  StartThread();
  enum class Known { kGiven, kBeforeTheStart, kWhilePlaying };
  for (const auto& [ppm, known] : {std::pair{300.0, Known::kWhilePlaying}, std::pair{-300.0, Known::kBeforeTheStart},
                                   std::pair{-300.0, Known::kGiven}}) {
    SCOPED_TRACE(std::to_string(ppm) + " ppm, case " + std::to_string(static_cast<int>(known)));
    const double samplesPerSecond = 44100 * (1 + ppm / 1e6);
    const Status corrected{kTxSampleClock, std::lround(ppm * 10)};
    ctx.dSampleClockPpm = known == Known::kGiven ? ppm : 0.0;
    Start(At(2026, 3, 9, 10, 15, 7));
    if (known == Known::kGiven) {
      ASSERT_EQ(statuses.Next(), corrected);
    }
    for (int second = 7; second < 20; ++second) {
      clock.Set(At(2026, 3, 9, 10, 15, second));
      ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 20 - second}));
      if (known == Known::kBeforeTheStart && second == 10) {
        device.MeasureSampleClock({ppm, 20, 0.2});
        ASSERT_EQ(statuses.Next(), corrected);
      }
    }
    clock.Set(At(2026, 3, 9, 10, 15, 20));
    device.TellPosition(0, At(2026, 3, 9, 10, 15, 20) * 1000000000LL);  // seen playing on time
    ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 1}));
    if (known == Known::kWhilePlaying) {
      device.MeasureSampleClock({ppm, 20, 0.2});
      ASSERT_EQ(statuses.Next(), corrected);
    }
    const Time64 boundary = At(2026, 3, 9, 10, 15, 20);
    std::int64_t startNs = boundary * 1000000000;  // the first began on time
    std::int64_t worstNs = 0;
    double worstLength = 0;
    auto playedNs = [&](const platform::WaveHeader* h) {
      return std::llround(h->dwBufferLength / 2 * 1e9 / samplesPerSecond);
    };
    for (int n = 2; n <= 31; ++n) {  // ten minutes
      startNs += playedNs(device.Queue().at(0));
      clock.Set(startNs / 1000000000, startNs % 1000000000);
      ASSERT_TRUE(device.FinishFront(startNs));
      ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, n}));
      // Where the playing frame's second 1 begins (its second 0 is all tone).
      const platform::WaveHeader* playing = device.Queue().at(0);
      const std::vector<tone_test::Silence> silences =
          tone_test::Silences(reinterpret_cast<const std::int16_t*>(playing->lpData), playing->dwBufferLength / 2);
      ASSERT_FALSE(silences.empty());
      const std::int64_t second1Ns = startNs + std::llround(static_cast<double>(silences[0].begin) * 1e9 / samplesPerSecond);
      worstNs = std::max<std::int64_t>(worstNs, std::abs(second1Ns - (boundary + 20 * (n - 1) + 1) * 1000000000LL));
      if (n > 5) worstLength = std::max(worstLength, std::fabs(device.Queue().at(1)->dwBufferLength / 2 - 20 * samplesPerSecond));
    }
    EXPECT_LT(worstNs, 100000) << "within 0.1 ms of their seconds";
    EXPECT_LT(worstLength, 3.0) << "pieces of 20 s of the device's samples, none set back";
    const platform::WaveHeader* last = device.Queue().at(1);
    const auto* samples = reinterpret_cast<const std::int16_t*>(last->lpData);
    const tone_test::Measured tone =
        tone_test::MeasureTone(samples, 0, last->dwBufferLength / 2, samplesPerSecond, 13700);
    EXPECT_NEAR(tone.hz, 13700, 0.01) << "on frequency in the system clock's time";
    std::vector<std::int16_t> nominal(FrameSamples(44100));
    const platform::CivilTime t = platform::ToLocalTime(At(2026, 3, 9, 10, 25, 41));
    BuildFrameAudio(t.year, t.month, t.day, t.weekday, 10, 25, 41, 44100, nominal.data());
    EXPECT_TRUE(tone_test::SameSilences(tone_test::Silences(nominal.data(), nominal.size()),
                                        tone_test::Silences(samples, last->dwBufferLength / 2), 1 + ppm / 1e6, 2.0))
        << "the frame of 10:25:41, each second at its instant";

    startNs += playedNs(device.Queue().at(0)) + 5000000000;
    clock.Set(startNs / 1000000000, startNs % 1000000000);
    ASSERT_TRUE(device.FinishFront(startNs));
    EXPECT_EQ(statuses.Next().status, kTxStalled);
    EXPECT_EQ(statuses.Next().status, kTxCountdown);
    EXPECT_TRUE(device.IsPaused());
    EXPECT_NEAR(device.Queue().at(0)->dwBufferLength / 2, 20 * samplesPerSecond, 1.0);
    Stop();
    ASSERT_EQ(statuses.Next(), (Status{kTxStopped, 0}));
    device.ForgetSampleClock();
    ctx.dSampleClockPpm = 0.0;
  }
}

// An output that stalled for 5 s and went on would play every later frame
// 5 s late. The transmitter drops what is queued and begins again on the
// next boundary at least 2 s ahead, with frames of that time.
TEST_F(TransmitterTest, AStalledOutputStartsAgainOnTheNextBoundary) {
  StartThread();
  RunCountdownFrom1015_07();
  clock.Set(At(2026, 3, 9, 10, 15, 45));
  ASSERT_TRUE(device.FinishFront(At(2026, 3, 9, 10, 15, 45) * 1000000000));
  ASSERT_EQ(statuses.Next(), (Status{kTxStalled, 1}));
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 15}));
  EXPECT_TRUE(device.IsPaused());
  ASSERT_EQ(device.Queue().size(), 2u);
  EXPECT_EQ(Decode(device.Queue().at(0), 44100), FrameFor(At(2026, 3, 9, 10, 16, 1)));
  EXPECT_EQ(Decode(device.Queue().at(1), 44100), FrameFor(At(2026, 3, 9, 10, 16, 21)));
  clock.Set(At(2026, 3, 9, 10, 15, 59));
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 1}));
  clock.Set(At(2026, 3, 9, 10, 16, 0));
  ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 2}));
  EXPECT_EQ(device.Count("reset"), 1);
  EXPECT_EQ(statuses.Tally(), 0) << "no frame played whole and on time";
}

// Where the device tells when its samples play, the output is watched at
// every poll: the first piece is announced once it is seen on time, and
// what drifts more than 15 ms off its seconds, in two readings in a row,
// is silenced and begun again on the next boundary. Only frames played
// whole and on time are counted as sent.
TEST_F(TransmitterTest, TheOutputIsWatchedAtEveryPollAndSilencedOnceOffItsSeconds) {
  device.tellsPlayTimes = true;
  StartThread();
  Start(At(2026, 3, 9, 10, 15, 7));
  for (int second = 7; second < 20; ++second) {
    clock.Set(At(2026, 3, 9, 10, 15, second));
    ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 20 - second}));
  }
  const std::int64_t boundaryNs = At(2026, 3, 9, 10, 15, 20) * 1000000000LL;
  clock.Set(At(2026, 3, 9, 10, 15, 20));
  ASSERT_TRUE(device.WaitForPoll());
  ASSERT_TRUE(device.WaitForPoll());
  EXPECT_TRUE(statuses.Pending().empty()) << "nothing is seen playing yet";
  device.TellPosition(0, boundaryNs + 2000000);
  ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 1}));

  // Sample n of the first piece is due n / 44100 s after the boundary.
  auto tell = [&](std::size_t sample, std::int64_t offNs) {
    device.TellPosition(sample, boundaryNs + static_cast<std::int64_t>(sample) * 1000000000 / 44100 + offNs);
    ASSERT_TRUE(device.WaitForPoll());
    ASSERT_TRUE(device.WaitForPoll());
  };
  clock.Set(At(2026, 3, 9, 10, 15, 30));
  tell(441000, 14000000);
  tell(441100, -30000000);  // one odd report
  tell(441200, 1000000);
  tell(441300, 30000000);
  EXPECT_TRUE(statuses.Pending().empty());
  tell(441400, 30000000);
  ASSERT_EQ(statuses.Next(), (Status{kTxStalled, 1}));
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 10}));
  EXPECT_TRUE(device.IsPaused());
  EXPECT_EQ(Decode(device.Queue().at(0), 44100), FrameFor(At(2026, 3, 9, 10, 15, 41)));

  for (int second = 31; second < 40; ++second) {
    clock.Set(At(2026, 3, 9, 10, 15, second));
    ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 40 - second}));
  }
  clock.Set(At(2026, 3, 9, 10, 15, 40));
  device.TellPosition(0, boundaryNs + 20000000000LL);
  ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 2}));
  EXPECT_EQ(statuses.Tally(), 0);
  clock.Set(At(2026, 3, 9, 10, 16, 0));
  ASSERT_TRUE(device.FinishFront(At(2026, 3, 9, 10, 16, 0) * 1000000000LL));
  ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 3}));
  EXPECT_EQ(statuses.Tally(), 1) << "the frame from 10:15:40, whole and on time";
}

// A device that tells only its position (waveOut) is watched too. Its
// readings date no play (under Wine they run a sound server's buffer
// ahead, here by 90 ms), so what counts is how far they move from the
// first one after the start: a moment's lag is no stall, nor one by less
// than they ran ahead; one beyond that which holds a quarter second is.
TEST_F(TransmitterTest, AnOutputKnownOnlyByItsPositionIsWatchedByHowItsReadingsMove) {
  StartThread();
  RunCountdownFrom1015_07();
  const std::int64_t boundaryNs = At(2026, 3, 9, 10, 15, 20) * 1000000000LL;
  // Sample n of the first piece, read offMs after its instant less 90 ms.
  auto tell = [&](std::size_t sample, double offMs) {
    device.TellPosition(sample, boundaryNs + static_cast<std::int64_t>(sample) * 1000000000 / 44100 - 90000000 +
                                    std::llround(offMs * 1e6));
    ASSERT_TRUE(device.WaitForPoll());
    ASSERT_TRUE(device.WaitForPoll());
  };
  tell(1, 0);
  tell(441000, 5);
  tell(441441, 200);  // a lag for 10 ms
  tell(441882, 200);
  tell(442323, 5);
  tell(485100, 120);  // one for 0.3 s, within the 90 ms ahead and 50 ms
  tell(498330, 120);
  tell(529200, 200);  // one held from 12 s on
  tell(533610, 200);
  EXPECT_TRUE(statuses.Pending().empty());
  clock.Set(At(2026, 3, 9, 10, 15, 32));
  tell(540225, 200);
  ASSERT_EQ(statuses.Next(), (Status{kTxStalled, 1}));
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 8}));
  EXPECT_TRUE(device.IsPaused());
}

TEST_F(TransmitterTest, EveryModeRateFillsItsFrameIntoTheBuffers) {
  StartThread();
  for (int rate : {48000, 96000}) {
    SCOPED_TRACE(rate);
    Start(At(2026, 3, 9, 10, 15, 7), rate);
    ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 13}));
    EXPECT_EQ(device.Calls().back(), "write");
    std::vector<platform::WaveHeader*> queue = device.Queue();
    ASSERT_EQ(queue.size(), 2u);
    EXPECT_EQ(queue[0]->dwBufferLength, FrameBytes(static_cast<unsigned>(rate)));
    EXPECT_EQ(Decode(queue[0], static_cast<unsigned>(rate)), FrameFor(At(2026, 3, 9, 10, 15, 21)));
    Stop();
    ASSERT_EQ(statuses.Next(), (Status{kTxStopped, 0}));
  }
  EXPECT_EQ(device.Count("open 48000"), 1);
  EXPECT_EQ(device.Count("open 96000"), 1);
}

TEST_F(TransmitterTest, StopDuringTheCountdownClosesTheDeviceUnplayed) {
  StartThread();
  Start(At(2026, 3, 9, 10, 15, 7));
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 13}));
  // The device's signals before the boundary (open, or a stray one) start
  // nothing.
  device.SignalOnly();
  ASSERT_TRUE(device.WaitUntilEventTaken());
  Stop();
  ASSERT_EQ(statuses.Next(), (Status{kTxStopped, 0}));

  EXPECT_EQ(device.Count("write"), 2);
  std::vector<std::string> calls = device.Calls();
  EXPECT_EQ(std::vector<std::string>(calls.end() - 4, calls.end()),
            (std::vector<std::string>{"reset", "unprepare", "unprepare", "close"}));
  EXPECT_EQ(device.Count("restart"), 0);
  EXPECT_FALSE(device.IsOpen());
  EXPECT_TRUE(device.Queue().empty());
}

TEST_F(TransmitterTest, QuitTakesPriorityOverAPendingCompletion) {
  StartThread();
  RunCountdownFrom1015_07();

  // Keep the thread inside its refill of the first buffer while the second
  // finishes and the quit arrives, so that both wait for it together.
  device.HoldWrites();
  ASSERT_TRUE(device.FinishFront());
  ASSERT_TRUE(device.WaitForWriteEntered(3));
  ASSERT_TRUE(device.FinishFront());
  ctx.hQuitEvent->Set();
  device.ReleaseWrites();

  ASSERT_EQ(platform::WaitForEvent(*ctx.hExitedEvent, 20000), 0);
  EXPECT_EQ(statuses.Next(), (Status{kTxTransmitting, 2}));
  EXPECT_TRUE(statuses.Pending().empty());
  EXPECT_EQ(device.Count("write"), 3);
  std::vector<std::string> calls = device.Calls();
  EXPECT_EQ(std::vector<std::string>(calls.end() - 4, calls.end()),
            (std::vector<std::string>{"reset", "unprepare", "unprepare", "close"}));
  EXPECT_FALSE(device.IsOpen());
}

TEST_F(TransmitterTest, ASecondStartCountsFromTheFirstFrameAgain) {
  StartThread();
  RunCountdownFrom1015_07();
  ASSERT_TRUE(device.FinishFront());
  ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 2}));
  Stop();
  ASSERT_EQ(statuses.Next(), (Status{kTxStopped, 0}));

  // Stopped while 13 was the count shown: a new start at the same second
  // shows 13 again, since the stop forgot the last count.
  Start(At(2026, 3, 9, 10, 15, 7));
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 13}));
  Stop();
  ASSERT_EQ(statuses.Next(), (Status{kTxStopped, 0}));

  RunCountdownFrom1015_07();
  EXPECT_EQ(device.Count("open 44100"), 3);
}

TEST_F(TransmitterTest, ADeviceThatStopsFinishingBuffersIsGivenUpOn20SecondsPastTheExpectedEnd) {
  StartThread();
  RunCountdownFrom1015_07();  // buffer A due to end at 10:15:40

  // Each completion watches the next buffer from then on: finished late at
  // 10:15:59, the next is due at 10:16:19 and is waited for until 10:16:39.
  clock.Set(At(2026, 3, 9, 10, 15, 59));
  ASSERT_TRUE(device.FinishFront());
  ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 2}));
  clock.Set(At(2026, 3, 9, 10, 16, 30));
  ASSERT_TRUE(device.WaitForPoll());
  ASSERT_TRUE(device.FinishFront());
  ASSERT_EQ(statuses.Next(), (Status{kTxTransmitting, 3}));

  // Silent for good: due at 10:16:50, given up on after 10:17:10.
  clock.Set(At(2026, 3, 9, 10, 17, 11));
  ASSERT_EQ(statuses.Next(), (Status{kTxDeviceFailed, 0}));
  std::vector<std::string> calls = device.Calls();
  EXPECT_EQ(std::vector<std::string>(calls.end() - 4, calls.end()),
            (std::vector<std::string>{"reset", "unprepare", "unprepare", "close"}));
  EXPECT_FALSE(device.IsOpen());
  EXPECT_TRUE(statuses.Pending().empty()) << "no stopped status besides";

  RunCountdownFrom1015_07();
}

TEST_F(TransmitterTest, ABrokenStreamEndsTheTransmissionAtOnceWhetherPlayingOrArmed) {
  StartThread();
  RunCountdownFrom1015_07();
  device.BreakStream(platform::MMSYSERR_NODRIVER);
  ASSERT_EQ(statuses.Next(), (Status{kTxDeviceFailed, static_cast<std::intptr_t>(platform::MMSYSERR_NODRIVER)}));
  EXPECT_EQ(device.Calls().back(), "close");
  EXPECT_FALSE(device.IsOpen());

  Start(At(2026, 3, 9, 10, 15, 7));
  ASSERT_EQ(statuses.Next(), (Status{kTxCountdown, 13}));
  device.BreakStream(platform::MMSYSERR_ERROR);
  ASSERT_EQ(statuses.Next(), (Status{kTxDeviceFailed, static_cast<std::intptr_t>(platform::MMSYSERR_ERROR)}));
  EXPECT_EQ(device.Count("restart"), 1) << "a broken device is not started";
  EXPECT_FALSE(device.IsOpen());

  // With the device back, a new start goes through.
  RunCountdownFrom1015_07();
  EXPECT_EQ(device.Count("open 44100"), 3);
}

TEST_F(TransmitterTest, OpenFailureReportsTheCodeAndStaysReady) {
  StartThread();
  device.openResult = platform::WAVERR_BADFORMAT;
  Start(At(2026, 3, 9, 10, 15, 7));
  ASSERT_EQ(statuses.Next(), (Status{kTxOpenFailed, static_cast<std::intptr_t>(platform::WAVERR_BADFORMAT)}));
  EXPECT_EQ(device.Count("prepare"), 0);

  device.openResult = platform::MMSYSERR_NOERROR;
  RunCountdownFrom1015_07();
}

TEST_F(TransmitterTest, AClockBeyondTheCalendarFailsTheStartAndReturnsTheDevice) {
  StartThread();
  Start(std::numeric_limits<Time64>::max() / 2);
  ASSERT_EQ(statuses.Next(), (Status{kTxOpenFailed, static_cast<std::intptr_t>(platform::MMSYSERR_ERROR)}));
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.Count("write"), 0);

  RunCountdownFrom1015_07();
}

TEST_F(TransmitterTest, CapabilityFlagsArePostedAsRead) {
  device.formats = platform::WAVE_FORMAT_48M16 | platform::WAVE_FORMAT_96M16;
  StartThread();  // takes (6, 0x44000)
}

TEST_F(TransmitterTest, UnreadableCapabilitiesPostNothing) {
  device.capsResult = platform::MMSYSERR_NODRIVER;
  ASSERT_EQ(StartTransmitterThread(&ctx), 1);
  Start(At(2026, 3, 9, 10, 15, 7));
  EXPECT_EQ(statuses.Next(), (Status{kTxCountdown, 13}));
}

TEST_F(TransmitterTest, WithoutADeviceTheThreadReportsAndEndsAndStopDoesNotWait) {
  device.numDevs = 0;
  ASSERT_EQ(StartTransmitterThread(&ctx), 1);
  ASSERT_EQ(statuses.Next(), (Status{kTxNoDevice, 0}));
  EXPECT_EQ(device.Calls(), std::vector<std::string>{"numdevs"});
  EXPECT_EQ(platform::WaitForEvent(*ctx.hExitedEvent, 0), platform::kWaitTimeout);

  // The thread is gone already; the window must not be held for the whole
  // 2000 ms that a live thread is granted.
  auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(StopTransmitterThread(&ctx), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1500));
  EXPECT_FALSE(ctx.hThread.IsRunning());
  EXPECT_EQ(ctx.hQuitEvent, nullptr);
  EXPECT_EQ(ctx.hExitedEvent, nullptr);
  // A second stop (a window destroyed twice) finds nothing to close.
  EXPECT_EQ(StopTransmitterThread(&ctx), 1);
}

TEST_F(TransmitterTest, QuitWhileIdleEndsTheThreadAndClosesItsEvents) {
  StartThread();
  ASSERT_EQ(StopTransmitterThread(&ctx), 1);
  EXPECT_FALSE(ctx.hThread.IsRunning());
  EXPECT_EQ(ctx.hStartEvent, nullptr);
  EXPECT_TRUE(statuses.Pending().empty());
  EXPECT_EQ(device.Count("open 44100"), 0);
}

}  // namespace
