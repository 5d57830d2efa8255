// Synthesis of one 20-second BPC frame, of one 60-second frame of a
// minute station (JJY40, whose tone fits no whole cycles into a second),
// of a 60-second frame of the carrier itself at 192 kHz (DCF77's 77.5 kHz),
// and of a 20-second piece made for a sample clock 150 ppm fast, against the
// floor none can go below: the same number of double-precision sine calls
// stored into a buffer. Compare the items per second: the cost of a sample.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "signal/frame_audio.h"
#include "signal/station_table.h"
#include "signal/station_audio.h"

namespace {

void BM_BuildFrameAudio(benchmark::State& state) {
  const auto rate = static_cast<unsigned>(state.range(0));
  std::vector<std::int16_t> buffer(kFrameBufferBytes / 2);
  for (auto _ : state) {
    BuildFrameAudio(2026, 12, 31, 5, 23, 59, 41, rate, buffer.data());
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * FrameSamples(rate));
}

void BM_BuildStationAudio60s(benchmark::State& state) {
  const auto rate = static_cast<unsigned>(state.range(0));
  const Station& jjy40 = *FindStation("jjy40");
  std::vector<std::int16_t> buffer(std::size_t{60} * rate);
  for (auto _ : state) {
    BuildStationAudio(jjy40, jjy40.toneHz, 1798761600, 0, 60, rate, buffer.data());  // 2027-01-01 00:00 UTC
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(buffer.size()));
}

void BM_CarrierFrame60s(benchmark::State& state) {
  const auto rate = static_cast<unsigned>(state.range(0));
  const Station& dcf77 = *FindStation("dcf77");
  std::vector<std::int16_t> buffer(std::size_t{60} * rate);
  for (auto _ : state) {
    BuildStationAudio(dcf77, dcf77.carrierHz, 1798761600, 0, 60, rate, buffer.data());
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(buffer.size()));
}

void BM_ClockedPiece20s(benchmark::State& state) {
  const auto rate = static_cast<unsigned>(state.range(0));
  const Station& bpc = kStations[0];
  std::vector<std::int16_t> buffer(ClockedSamplesBound(20, rate));
  std::size_t written = 0;
  for (auto _ : state) {
    ClockedSynthesis synth{1.00015, 0, 0};
    written = BuildClockedStationAudio(bpc, bpc.toneHz, 1798761600, 0, 20, rate, synth, buffer.data());
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(written));
}

void BM_SineBaseline(benchmark::State& state) {
  const auto rate = static_cast<unsigned>(state.range(0));
  const double omega = 2 * 3.141592653589793 * kToneFrequency;
  const double r = rate;
  const auto count = static_cast<unsigned>(FrameSamples(rate));
  std::vector<double> buffer(count);
  for (auto _ : state) {
    double* out = buffer.data();
    for (unsigned n = 0; n < count; ++n) out[n] = std::sin(omega * n / r);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
}

// The machine is shared, so the fastest of several runs is the figure to
// compare; the median shows how noisy it was.
double Fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

}  // namespace

BENCHMARK(BM_BuildFrameAudio)
    ->Arg(44100)->Arg(48000)->Arg(96000)
    ->Unit(benchmark::kMillisecond)->Repetitions(9)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_BuildStationAudio60s)
    ->Arg(44100)->Arg(48000)->Arg(96000)
    ->Unit(benchmark::kMillisecond)->Repetitions(9)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_CarrierFrame60s)
    ->Arg(176400)->Arg(192000)
    ->Unit(benchmark::kMillisecond)->Repetitions(9)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_ClockedPiece20s)
    ->Arg(44100)->Arg(192000)
    ->Unit(benchmark::kMillisecond)->Repetitions(9)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_SineBaseline)
    ->Arg(44100)->Arg(48000)->Arg(96000)->Arg(192000)
    ->Unit(benchmark::kMillisecond)->Repetitions(9)->ComputeStatistics("min", Fastest);
