#include "signal/decode/keyed_tone.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace decode {

namespace {

using Complex = std::complex<double>;

// In place, n a power of two.
void Fft(std::vector<Complex>& a) {
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const double angle = -2 * std::numbers::pi / static_cast<double>(len);
    const Complex step(std::cos(angle), std::sin(angle));
    for (std::size_t i = 0; i < n; i += len) {
      Complex w(1);
      for (std::size_t k = 0; k < len / 2; ++k) {
        const Complex u = a[i + k];
        const Complex v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        w *= step;
      }
    }
  }
}

// A line must stand this far above the spectrum's median to count as one.
constexpr double kLineAboveNoiseDb = 12;
constexpr int kMaxSegments = 64;
constexpr int kMaxCandidates = 4;

// The low-pass after the mixer, at the envelope's rate: passes the keying
// (its edges then take some 20 ms, alike both ways), keeps the noise to
// 50 Hz about the tone and stops an interfering tone 100 Hz or more away.
constexpr double kLowPassHz = 25;
constexpr int kLowPassHalf = 60;  // taps each side of the centre

// The slicer's levels: percentiles of the envelope over this long a window
// either side of each second, short enough to follow a fading signal; every
// station keys a tenth of its seconds at least, and leaves a tenth high.
constexpr int kLevelWindowSeconds = 3;
constexpr double kHighPercentile = 0.9;
constexpr double kLowPercentile = 0.05;
// Less between high and low than this, and nothing is keyed there.
constexpr double kMinKeyingDb = 6;

}  // namespace

std::vector<double> FindToneCandidates(const float* samples, std::size_t count, double rate, double hint) {
  std::size_t n = 256;
  while (n < rate / 4 && n * 2 <= count) n *= 2;
  if (count < n) return {};
  const std::size_t segments = std::min<std::size_t>(kMaxSegments, count / n);
  std::vector<double> power(n / 2, 0);
  std::vector<Complex> buffer(n);
  for (std::size_t s = 0; s < segments; ++s) {
    const std::size_t first = segments == 1 ? 0 : s * (count - n) / (segments - 1);
    for (std::size_t i = 0; i < n; ++i) {
      const double window = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
      buffer[i] = Complex(samples[first + i] * window, 0);
    }
    Fft(buffer);
    for (std::size_t i = 0; i < n / 2; ++i) power[i] += std::norm(buffer[i]);
  }
  const double binHz = rate / static_cast<double>(n);
  double loHz = 100, hiHz = rate / 2 * 0.98;
  if (hint > 0) {
    loHz = std::max(loHz, hint * 0.98);
    hiHz = std::min(hiHz, hint * 1.02);
  }
  const auto lo = static_cast<std::size_t>(std::ceil(loHz / binHz));
  const auto hi = std::min(static_cast<std::size_t>(std::floor(hiHz / binHz)), n / 2 - 2);
  if (lo < 2 || hi <= lo + 4) return {};
  // The noise is judged over the whole band, so that a narrow search
  // near a hint still tells a line from noise.
  std::vector<double> band(power.begin() + 2, power.begin() + static_cast<std::ptrdiff_t>(n / 2 - 2));
  std::nth_element(band.begin(), band.begin() + static_cast<std::ptrdiff_t>(band.size() / 2), band.end());
  const double floor = band[band.size() / 2];
  const double needed = floor * std::pow(10.0, kLineAboveNoiseDb / 10);
  struct Peak {
    double power;
    std::size_t bin;
  };
  std::vector<Peak> peaks;
  for (std::size_t i = lo; i <= hi; ++i) {
    const double p = power[i];
    if (p <= needed || p < power[i - 1] || p < power[i + 1] || p < power[i - 2] || p < power[i + 2]) continue;
    peaks.push_back({p, i});
  }
  std::sort(peaks.begin(), peaks.end(), [](const Peak& a, const Peak& b) { return a.power > b.power; });
  std::vector<double> found;
  std::vector<std::size_t> bins;
  for (const Peak& p : peaks) {
    if (static_cast<int>(found.size()) == kMaxCandidates) break;
    if (std::any_of(bins.begin(), bins.end(), [&](std::size_t b) { return (b > p.bin ? b - p.bin : p.bin - b) < 8; })) {
      continue;
    }
    // Between the bins, from the parabola through the peak's log powers.
    const double a = std::log(power[p.bin - 1]), b = std::log(power[p.bin]), c = std::log(power[p.bin + 1]);
    const double denominator = a - 2 * b + c;
    const double shift = denominator < 0 ? 0.5 * (a - c) / denominator : 0;
    found.push_back((static_cast<double>(p.bin) + shift) * binHz);
    bins.push_back(p.bin);
  }
  return found;
}

std::vector<float> LowLevels(const float* samples, std::size_t count, double rate, double toneHz) {
  // Mixed down and averaged over each millisecond.
  const auto steps = static_cast<std::size_t>(static_cast<double>(count) * kStepsPerSecond / rate);
  if (steps < kLevelWindowSeconds * kStepsPerSecond) return {};
  std::vector<Complex> mixed(steps);
  const double omega = 2 * std::numbers::pi * toneHz / rate;
  const Complex turn = std::polar(1.0, -omega);
  std::size_t i = 0;
  for (std::size_t k = 0; k < steps; ++k) {
    const auto end = std::min(count, static_cast<std::size_t>(std::llround(static_cast<double>(k + 1) * rate / kStepsPerSecond)));
    Complex sum(0);
    const std::size_t begin = i;
    // A phasor turned sample by sample, set afresh each millisecond so that
    // its rounding never adds up.
    Complex mixer = std::polar(1.0, -std::fmod(omega * static_cast<double>(i), 2 * std::numbers::pi));
    for (; i < end; ++i) {
      sum += static_cast<double>(samples[i]) * mixer;
      mixer *= turn;
    }
    mixed[k] = end > begin ? sum / static_cast<double>(end - begin) : Complex(0);
  }
  // The low-pass: a Hann-windowed sinc, linear in phase, so that both edges
  // of a low part move alike (and here not at all: it is centred).
  std::vector<double> taps(2 * kLowPassHalf + 1);
  double total = 0;
  for (int t = -kLowPassHalf; t <= kLowPassHalf; ++t) {
    const double x = 2 * kLowPassHz / kStepsPerSecond * t;
    const double sinc = t == 0 ? 1 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
    const double window = 0.5 + 0.5 * std::cos(std::numbers::pi * t / (kLowPassHalf + 1));
    taps[static_cast<std::size_t>(t + kLowPassHalf)] = sinc * window;
    total += sinc * window;
  }
  std::vector<double> level(steps);
  for (std::size_t k = 0; k < steps; ++k) {
    Complex sum(0);
    for (int t = -kLowPassHalf; t <= kLowPassHalf; ++t) {
      const auto j = static_cast<std::ptrdiff_t>(k) + t;
      if (j < 0 || j >= static_cast<std::ptrdiff_t>(steps)) continue;
      sum += mixed[static_cast<std::size_t>(j)] * taps[static_cast<std::size_t>(t + kLowPassHalf)];
    }
    level[k] = std::abs(sum) / total;
  }
  // Sliced half-way between the high and low amplitudes near each second,
  // where the filtered edge of a step crosses whichever way it goes, and
  // softly over a quarter of the distance between them.
  std::vector<float> low(steps);
  const auto perSecond = static_cast<std::size_t>(kStepsPerSecond);
  const std::size_t window = kLevelWindowSeconds * perSecond;
  const double minRatio = std::pow(10.0, kMinKeyingDb / 20);
  std::vector<double> near;
  bool keyed = false;
  for (std::size_t s = 0; s < steps; s += perSecond) {
    const std::size_t from = s > window ? s - window : 0;
    const std::size_t to = std::min(steps, s + window);
    near.assign(level.begin() + static_cast<std::ptrdiff_t>(from), level.begin() + static_cast<std::ptrdiff_t>(to));
    auto at = [&](double fraction) {
      const auto nth = near.begin() + static_cast<std::ptrdiff_t>(fraction * static_cast<double>(near.size() - 1));
      std::nth_element(near.begin(), nth, near.end());
      return *nth;
    };
    const double high = at(kHighPercentile), lowLevel = at(kLowPercentile);
    const bool here = high > 0 && high >= lowLevel * minRatio;
    keyed = keyed || here;
    const double middle = (high + lowLevel) / 2, width = (high - lowLevel) / 4;
    for (std::size_t k = s; k < std::min(steps, s + perSecond); ++k) {
      low[k] = here ? static_cast<float>(std::clamp(0.5 + (middle - level[k]) / width, 0.0, 1.0)) : 0.5F;
    }
  }
  if (!keyed) return {};
  return low;
}

}  // namespace decode
