#include "signal/station_audio.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr double kPi = 3.141592653589793;

// The shape of second i of the frame. An encoder writes only indices of
// its shapes; anything else is sent as the first rather than read past the
// table.
const SymbolShape& ShapeOf(const Station& station, const StationFrame& frame, unsigned i) {
  return station.shapes[frame[i] < kMaxStationSymbols ? frame[i] : 0];
}

int LastPart(const SymbolShape& shape) {
  int lastPart = 3;
  while (lastPart > 0 && shape.ms[lastPart] == 0) --lastPart;
  return lastPart;
}

std::int16_t ToneSample(double phase) { return static_cast<std::int16_t>(std::sin(phase) * 32767.5 - 0.5); }

}  // namespace

// The phase comes from the index n itself, one double-precision sine a
// sample, so that seconds and pieces join without a jump.
void SynthesizeShape(std::int16_t* out, std::int64_t n0, double frequency, const SymbolShape& shape, unsigned rate,
                     unsigned extra) {
  const double omega = 2 * kPi * frequency;
  const double r = static_cast<double>(rate);
  const int lastPart = LastPart(shape);
  std::int64_t n = n0;
  unsigned done = 0;
  unsigned elapsedMs = 0;
  for (int part = 0; part <= lastPart; ++part) {
    elapsedMs += shape.ms[part];
    const unsigned end =
        part == lastPart ? rate + extra : std::min(static_cast<unsigned>(r * elapsedMs * 0.001), rate);
    const bool tone = part % 2 == 1;
    for (; done < end; ++done, ++n) {
      *out++ = tone ? ToneSample(omega * n / r) : 0;
    }
  }
}

std::size_t BuildStationAudio(const Station& station, double frequency, platform::Time64 frameStart,
                              unsigned firstSecond, unsigned seconds, unsigned rate, std::int16_t* out,
                              std::int64_t phaseShift, int adjust) {
  StationFrame frame{};
  station.encode(frameStart, frame);
  return SynthesizeStationFrame(station, frame, frequency, firstSecond, seconds, rate, out, phaseShift, adjust);
}

std::size_t SynthesizeStationFrame(const Station& station, const StationFrame& frame, double frequency,
                                   unsigned firstSecond, unsigned seconds, unsigned rate, std::int16_t* out,
                                   std::int64_t phaseShift, int adjust) {
  const unsigned last = std::min(firstSecond + seconds, station.frameSeconds);
  std::size_t written = 0;
  for (unsigned i = firstSecond; i < last; ++i) {
    const unsigned extra = i + 1 == last && adjust > 0 ? static_cast<unsigned>(adjust) : 0;
    SynthesizeShape(out + written, std::int64_t{i} * rate + phaseShift, frequency, ShapeOf(station, frame, i), rate,
                    extra);
    written += rate + extra;
  }
  // Dropped samples come off the end of the last second.
  if (adjust < 0) written -= std::min<std::size_t>(written, static_cast<std::size_t>(-adjust));
  return written;
}

std::size_t BuildClockedStationAudio(const Station& station, double frequency, platform::Time64 frameStart,
                                     unsigned firstSecond, unsigned seconds, unsigned rate, ClockedSynthesis& synth,
                                     std::int16_t* out, int adjust) {
  StationFrame frame{};
  station.encode(frameStart, frame);
  const unsigned last = std::min(firstSecond + seconds, station.frameSeconds);
  const double ratio = std::clamp(synth.ratio, 2 - kMaxClockRatio, kMaxClockRatio);
  const double step = 2 * kPi * frequency / (rate * ratio);
  auto sample = [&](bool tone, std::size_t n) { return tone ? ToneSample(synth.phase + step * static_cast<double>(n)) : 0; };

  // Added samples go first, as more of the part that ended the second
  // before (of the frame before, at a frame's start).
  const std::size_t lead = adjust > 0 ? static_cast<std::size_t>(adjust) : 0;
  if (lead > 0) {
    StationFrame before = frame;
    unsigned previous = firstSecond - 1;
    if (firstSecond == 0) {
      station.encode(frameStart - station.frameSeconds, before);
      previous = station.frameSeconds - 1;
    }
    const bool tone = LastPart(ShapeOf(station, before, previous)) % 2 == 1;
    for (std::size_t n = 0; n < lead; ++n) out[n] = sample(tone, n);
  }
  // The first sample at or after the instant `ms` into the piece.
  auto sampleAt = [&](std::int64_t ms) {
    const double at = static_cast<double>(ms * rate) * ratio / 1000 - synth.late;
    return lead + static_cast<std::size_t>(std::max(0.0, std::ceil(at)));
  };
  std::size_t done = lead;
  for (unsigned i = firstSecond; i < last; ++i) {
    const SymbolShape& shape = ShapeOf(station, frame, i);
    const int lastPart = LastPart(shape);
    std::int64_t elapsedMs = std::int64_t{i - firstSecond} * 1000;
    for (int part = 0; part <= lastPart; ++part) {
      elapsedMs += shape.ms[part];
      std::size_t end = sampleAt(elapsedMs);
      // Dropped samples come off the end of the last second.
      if (i + 1 == last && part == lastPart && adjust < 0) end -= std::min<std::size_t>(end, -adjust);
      const bool tone = part % 2 == 1;
      for (; done < end; ++done) out[done] = sample(tone, done);
    }
  }
  const std::int64_t pieceMs = std::int64_t{last - std::min(last, firstSecond)} * 1000;
  const double ideal = static_cast<double>(pieceMs * rate) * ratio / 1000 - synth.late;
  synth.late = std::ceil(ideal) - ideal;
  synth.phase = std::fmod(synth.phase + step * static_cast<double>(done), 2 * kPi);
  return done;
}

double NominalPhase(double frequency, std::int64_t n, unsigned rate) {
  return std::fmod(2 * kPi * frequency * static_cast<double>(n) / rate, 2 * kPi);
}
