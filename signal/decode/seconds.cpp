#include "signal/decode/seconds.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace decode {

namespace {

// Runs of low or high shorter than this are noise: no part of a second is.
constexpr std::size_t kMinRunMs = 40;
// The second's length is searched within a sample clock's error.
constexpr double kMaxOffMs = 1.1;
constexpr double kPeriodStepMs = 0.02;
// A second's edge is looked for this near where it is due.
constexpr double kMatchMs = 40;
// After this many seconds in a row without their edge, the seconds are
// looked for afresh (the recording jumped).
constexpr int kLostAfter = 8;
constexpr double kReacquireMs = 30000;
// Edges at random would sum to about the root of their count: a lock
// needs them to sum to five times that (Rayleigh's test, z = 25).
constexpr double kMinZ = 25;

std::vector<char> Hard(const std::vector<float>& low) {
  std::vector<char> b(low.size());
  for (std::size_t i = 0; i < low.size(); ++i) b[i] = low[i] > 0.5F;
  std::size_t runStart = 0;
  for (std::size_t i = 1; i <= b.size(); ++i) {
    if (i < b.size() && b[i] == b[runStart]) continue;
    if (i - runStart < kMinRunMs && runStart > 0 && i < b.size()) {
      std::fill(b.begin() + static_cast<std::ptrdiff_t>(runStart), b.begin() + static_cast<std::ptrdiff_t>(i),
                static_cast<char>(!b[runStart]));
    }
    runStart = i;
  }
  return b;
}

// Where the edges of that kind lie, in ms, placed between two steps by the
// soft levels' crossing of one half.
std::vector<double> Edges(const std::vector<float>& low, const std::vector<char>& b, SecondEdge edge) {
  std::vector<double> edges;
  const char before = edge == SecondEdge::kFalling ? 0 : 1;
  for (std::size_t i = 1; i < b.size(); ++i) {
    if (b[i - 1] != before || b[i] == before) continue;
    double t = static_cast<double>(i);
    const double a = low[i - 1], c = low[i];
    if (a != c) t = static_cast<double>(i - 1) + std::clamp((0.5 - a) / (c - a), 0.0, 1.0);
    edges.push_back(t);
  }
  return edges;
}

struct Lock {
  double periodMs = 1000;
  double phaseMs = 0;  // a start, within [0, period)
  double strength = 0;  // the edges' mean vector's length, 0..1
  double z = 0;         // and its square over their count
};

Lock Acquire(const std::vector<double>& edges, double from, double to, double onlyPeriod = 0) {
  Lock best;
  const auto first = std::lower_bound(edges.begin(), edges.end(), from);
  const auto last = std::lower_bound(edges.begin(), edges.end(), to);
  const auto count = static_cast<double>(last - first);
  if (count < 3) return best;
  const double lo = onlyPeriod > 0 ? onlyPeriod : 1000 - kMaxOffMs;
  const double hi = onlyPeriod > 0 ? onlyPeriod : 1000 + kMaxOffMs;
  for (double period = lo; period <= hi + 1e-9; period += kPeriodStepMs) {
    std::complex<double> sum(0);
    for (auto e = first; e != last; ++e) sum += std::polar(1.0, 2 * std::numbers::pi * *e / period);
    const double strength = std::abs(sum) / count;
    if (strength > best.strength) {
      double phase = std::arg(sum) / (2 * std::numbers::pi) * period;
      if (phase < 0) phase += period;
      best = {period, phase, strength, std::norm(sum) / count};
    }
  }
  return best;
}

double Mean(const std::vector<float>& low, double from, double to) {
  const auto a = static_cast<std::size_t>(std::max(0.0, std::round(from)));
  const auto b = std::min(low.size(), static_cast<std::size_t>(std::max(0.0, std::round(to))));
  if (b <= a) return 0.5;
  double sum = 0;
  for (std::size_t i = a; i < b; ++i) sum += low[i];
  return sum / static_cast<double>(b - a);
}

std::vector<Second> Track(const std::vector<float>& low, const std::vector<double>& edges, Lock lock) {
  std::vector<Second> list;
  const auto length = static_cast<double>(low.size());
  const double period = lock.periodMs;
  // The file may begin on a second, whose edge it does not hold.
  double due = lock.phaseMs > period - kMatchMs ? std::max(0.0, lock.phaseMs - period) : lock.phaseMs;
  int missed = 0;
  while (due + period * 0.98 <= length) {
    const auto near = std::lower_bound(edges.begin(), edges.end(), due - kMatchMs);
    Second s{};
    s.seen = near != edges.end() && *near <= due + kMatchMs;
    s.startMs = s.seen ? *near : due;
    // A later edge nearer to where the second is due wins.
    if (s.seen && near + 1 != edges.end() && std::abs(near[1] - due) < std::abs(*near - due)) s.startMs = near[1];
    for (int j = 0; j < 10; ++j) {
      s.low[static_cast<std::size_t>(j)] = static_cast<float>(
          Mean(low, s.startMs + (100 * j + 20) * period / 1000, s.startMs + (100 * j + 80) * period / 1000));
    }
    list.push_back(s);
    missed = s.seen ? 0 : missed + 1;
    due = s.startMs + period;
    if (missed >= kLostAfter) {
      // Looked for afresh from the first second missed. Where the seconds
      // now lie elsewhere (the recording jumped), those missed since are of
      // neither phase: they go, and the seconds follow the new phase.
      const double lostAt = list[list.size() - kLostAfter].startMs;
      const Lock again = Acquire(edges, lostAt, lostAt + kReacquireMs, period);
      const double off = std::fmod(again.phaseMs - std::fmod(due, period) + period, period);
      if (again.z < kMinZ) {
        // Nothing to follow yet: the seconds go on where they were due.
      } else if (std::min(off, period - off) > kMatchMs) {
        list.resize(list.size() - kLostAfter);
        due = std::floor(lostAt / period) * period + again.phaseMs;
        while (due < lostAt - kMatchMs) due += period;
      } else {
        double next = std::floor(due / period) * period + again.phaseMs;
        while (next < due - period / 2) next += period;
        due = next;
      }
      missed = 0;
    }
  }
  return list;
}

// The second's length, from a line through the seen seconds' starts (those
// of one stretch: after a jump, the longest).
double MeasuredPeriod(const std::vector<Second>& list, double fallback) {
  double sx = 0, sy = 0, sxx = 0, sxy = 0, count = 0;
  for (std::size_t k = 0; k < list.size(); ++k) {
    if (!list[k].seen || std::abs(list[k].startMs - list[0].startMs - static_cast<double>(k) * fallback) > 200) continue;
    const auto x = static_cast<double>(k);
    sx += x;
    sy += list[k].startMs;
    sxx += x * x;
    sxy += x * list[k].startMs;
    ++count;
  }
  const double d = count * sxx - sx * sx;
  if (count < 10 || d <= 0) return fallback;
  const double period = (count * sxy - sx * sy) / d;
  return std::abs(period - 1000) <= kMaxOffMs ? period : fallback;
}

// Each second's start from a line through the seen ones about it, which
// keeps the noise of a single edge out of it; a start off that line by
// more than an edge's window (the recording jumped) keeps its own.
void Smooth(std::vector<Second>& list, double period) {
  constexpr std::ptrdiff_t kAbout = 15;
  std::vector<double> smoothed(list.size());
  const auto n = static_cast<std::ptrdiff_t>(list.size());
  for (std::ptrdiff_t k = 0; k < n; ++k) {
    const double own = list[static_cast<std::size_t>(k)].startMs;
    double sx = 0, sy = 0, sxx = 0, sxy = 0, count = 0;
    for (std::ptrdiff_t j = std::max<std::ptrdiff_t>(0, k - kAbout); j <= std::min(n - 1, k + kAbout); ++j) {
      const Second& s = list[static_cast<std::size_t>(j)];
      const auto x = static_cast<double>(j - k);
      if (!s.seen || std::abs(s.startMs - own - x * period) > kMatchMs) continue;
      sx += x;
      sy += s.startMs;
      sxx += x * x;
      sxy += x * s.startMs;
      ++count;
    }
    const double d = count * sxx - sx * sx;
    smoothed[static_cast<std::size_t>(k)] = count >= 5 && d > 0 ? (sy * sxx - sx * sxy) / d : own;
  }
  for (std::size_t k = 0; k < list.size(); ++k) list[k].startMs = smoothed[k];
}

}  // namespace

Seconds FindSeconds(const std::vector<float>& low, SecondEdge edge) {
  Seconds found;
  found.edge = edge;
  const std::vector<double> edges = Edges(low, Hard(low), edge);
  Lock lock = Acquire(edges, 0, static_cast<double>(low.size()));
  if (lock.z < kMinZ) return found;
  // A recording that jumps holds seconds of more than one phase, which the
  // whole file's lock mixes: the first are placed by the edges of its
  // start where they suffice, the rest found afresh after the jump.
  if (const Lock start = Acquire(edges, 0, kReacquireMs, lock.periodMs); start.z >= kMinZ) lock = start;
  std::vector<Second> first = Track(low, edges, lock);
  lock.periodMs = MeasuredPeriod(first, lock.periodMs);
  found.periodMs = lock.periodMs;
  found.list = Track(low, edges, lock);
  Smooth(found.list, lock.periodMs);
  for (Second& s : found.list) {
    for (int j = 0; j < 10; ++j) {
      s.low[static_cast<std::size_t>(j)] = static_cast<float>(Mean(
          low, s.startMs + (100 * j + 20) * lock.periodMs / 1000, s.startMs + (100 * j + 80) * lock.periodMs / 1000));
    }
  }
  return found;
}

}  // namespace decode
