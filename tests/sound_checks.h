// Measures keyed tones the way a frequency counter and a scope would: the
// frequency from the phase a tone gains over its tone parts (so that the
// tests can tell a tone a fraction of a hertz off without restating the
// synthesis), whether it runs on without a jump, and where its silences lie.
#pragma once

#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace tone_test {

inline constexpr double kPi = 3.141592653589793;

struct Measured {
  double hz = 0;          // the tone's frequency, in cycles per `rate` samples
  double amplitude = 0;   // its amplitude in the tone parts (full scale: 32767)
  double seconds = 0;     // how much tone it was measured over
};

// The tone near nominalHz (within some 20 Hz) in samples [from, to) of a
// sound played at `rate` samples a second (that of a device, or of the
// system clock's time for a sound made for a device). The
// samples are taken 10 ms at a time; for each run of blocks with the tone,
// less its first and last block (where it is switched), the phase it gains
// block by block against nominalHz is summed.
inline Measured MeasureTone(const std::int16_t* samples, std::size_t from, std::size_t to, double rate,
                            double nominalHz) {
  const auto block = static_cast<std::size_t>(rate / 100);
  const double step = 2 * kPi * nominalHz / rate;
  auto correlate = [&](std::size_t at) {
    std::complex<double> c;
    for (std::size_t n = at; n < at + block; ++n) c += static_cast<double>(samples[n]) * std::polar(1.0, -step * n);
    return c;
  };
  const double onLevel = 0.5 * 32767 / 2 * static_cast<double>(block);
  double phase = 0, span = 0, amplitude = 0;
  std::size_t blocks = 0;
  std::vector<std::complex<double>> run;  // the blocks with the tone in a row so far
  auto endRun = [&] {
    for (std::size_t j = 2; j + 1 < run.size(); ++j) {
      phase += std::arg(run[j] * std::conj(run[j - 1]));
      span += static_cast<double>(block);
    }
    for (std::size_t j = 1; j + 1 < run.size(); ++j, ++blocks) amplitude += 2 * std::abs(run[j]) / static_cast<double>(block);
    run.clear();
  };
  for (std::size_t at = from; at + block <= to; at += block) {
    const std::complex<double> c = correlate(at);
    if (std::abs(c) < onLevel) {
      endRun();
    } else {
      run.push_back(c);
    }
  }
  endRun();
  Measured m;
  if (span == 0) return m;
  m.hz = nominalHz + phase / (2 * kPi * span) * rate;
  m.amplitude = amplitude / static_cast<double>(blocks);
  m.seconds = span / rate;
  return m;
}

// The first sample in [from, to) where the tone jumps: where three samples
// in a row, none of them silent, do not follow a sine of `step` radians a
// sample (x[n] = 2 cos(step) x[n-1] - x[n-2]) within what rounding each to
// an integer can explain (at most 2 a sample; a jump of a hundredth of a
// radian at full scale is some 300); `to` when there is none.
inline std::size_t FirstJump(const std::int16_t* samples, std::size_t from, std::size_t to, double step) {
  const double twoCos = 2 * std::cos(step);
  const double rounding = 2 * (2 + std::fabs(twoCos));
  for (std::size_t n = from + 2; n < to; ++n) {
    if (samples[n] == 0 || samples[n - 1] == 0 || samples[n - 2] == 0) continue;
    if (std::fabs(samples[n] - (twoCos * samples[n - 1] - samples[n - 2])) > rounding) return n;
  }
  return to;
}

struct Silence {
  std::size_t begin, end;  // samples [begin, end) are 0
};

// The runs of at least minLength zero samples (a tone crosses zero in one
// or two at most).
inline std::vector<Silence> Silences(const std::int16_t* samples, std::size_t count, std::size_t minLength = 8) {
  std::vector<Silence> runs;
  for (std::size_t n = 0; n < count;) {
    if (samples[n] != 0) {
      ++n;
      continue;
    }
    std::size_t end = n;
    while (end < count && samples[end] == 0) ++end;
    if (end - n >= minLength) runs.push_back({n, end});
    n = end;
  }
  return runs;
}

// Whether the silences of `b` are those of `a` with every position times
// `scale`, within `slack` samples at each end (a tone sample next to a
// silence may round to 0 as well).
inline bool SameSilences(const std::vector<Silence>& a, const std::vector<Silence>& b, double scale, double slack) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::fabs(static_cast<double>(b[i].begin) - static_cast<double>(a[i].begin) * scale) > slack ||
        std::fabs(static_cast<double>(b[i].end) - static_cast<double>(a[i].end) * scale) > slack) {
      return false;
    }
  }
  return true;
}

}  // namespace tone_test
