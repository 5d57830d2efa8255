#include "signal/decode/decoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "signal/decode/keyed_tone.h"
#include "signal/decode/seconds.h"
#include "signal/station_table.h"

namespace decode {

namespace {

// How far (in tenths of a second wrongly low or high) a second may lie from
// the nearest of its station's shapes and still be read as that symbol.
constexpr double kMaxSymbolCost = 2.0;
constexpr std::uint8_t kUnread = 255;
// A frame with more than one in this many of its seconds unread is none
// (one that begins in the silence before a transmission, say).
constexpr std::ptrdiff_t kMostlyUnread = 8;

struct Patterns {
  int count = 0;
  std::array<std::array<float, 10>, kMaxStationSymbols> low{};
};

// A tenth of a shape is low where its middle lies in a silent part.
Patterns PatternsOf(const Station& station) {
  Patterns p;
  for (const SymbolShape& shape : station.shapes) {
    if (shape.ms[0] + shape.ms[1] + shape.ms[2] + shape.ms[3] != 1000) break;
    for (int j = 0; j < 10; ++j) {
      const int middle = 100 * j + 50;
      int end = 0, part = 0;
      while (part < 4 && middle >= (end += shape.ms[part])) ++part;
      p.low[static_cast<std::size_t>(p.count)][static_cast<std::size_t>(j)] = part % 2 == 0 ? 1.0F : 0.0F;
    }
    ++p.count;
  }
  return p;
}

// A station whose every second begins with its tone (JJY) is seen by the
// tone coming back; the others by its going low.
SecondEdge EdgeOf(const Station& station) {
  const Patterns p = PatternsOf(station);
  for (int i = 0; i < p.count; ++i) {
    if (p.low[static_cast<std::size_t>(i)][0] > 0.5F) return SecondEdge::kFalling;
  }
  return SecondEdge::kRising;
}

struct Classified {
  std::vector<std::uint8_t> symbols;
  double meanCost = 0;
};

Classified Classify(const Seconds& seconds, const Patterns& patterns) {
  Classified c;
  double total = 0;
  for (const Second& s : seconds.list) {
    double best = 1e9;
    int which = 0;
    for (int i = 0; i < patterns.count; ++i) {
      double cost = 0;
      for (std::size_t j = 0; j < 10; ++j) cost += std::fabs(s.low[j] - patterns.low[static_cast<std::size_t>(i)][j]);
      if (cost < best) {
        best = cost;
        which = i;
      }
    }
    c.symbols.push_back(best <= kMaxSymbolCost ? static_cast<std::uint8_t>(which) : kUnread);
    total += std::min(best, 5.0);
  }
  c.meanCost = seconds.list.empty() ? 1e9 : total / static_cast<double>(seconds.list.size());
  return c;
}

std::vector<DecodedFrame> ReadFrames(const Seconds& seconds, const Classified& c, const FieldReader& reader) {
  std::vector<DecodedFrame> frames;
  const auto n = static_cast<std::ptrdiff_t>(c.symbols.size());
  const auto length = static_cast<std::ptrdiff_t>(reader.frameSeconds);
  for (std::ptrdiff_t k = 0; k < n; ++k) {
    if (c.symbols[static_cast<std::size_t>(k)] != reader.syncSymbol) continue;
    // A file may begin with such a frame, without the marker before it:
    // taken then only where it reads as a time.
    const bool atTheStart = reader.syncAfterMarker && k == 0;
    if (reader.syncAfterMarker && !atTheStart && c.symbols[static_cast<std::size_t>(k - 1)] != reader.syncSymbol) continue;
    const std::ptrdiff_t start = k - static_cast<std::ptrdiff_t>(reader.syncSecond);
    if (start < 0 || start + length > n) continue;
    DecodedFrame f;
    f.beginsS = (seconds.list[static_cast<std::size_t>(start)].startMs + reader.beginsAfter * seconds.periodMs) / 1000;
    f.endsS = (seconds.list[static_cast<std::size_t>(start + length - 1)].startMs + seconds.periodMs) / 1000;
    const std::uint8_t* symbols = c.symbols.data() + start;
    const auto unread = std::count(symbols, symbols + length, kUnread);
    // Mostly unread is no frame but silence or noise the seconds were
    // followed through.
    if (unread * kMostlyUnread > length) continue;
    if (unread > 0) {
      f.time.problem = std::to_string(unread) + (unread == 1 ? " second" : " seconds") + " could not be read";
    } else {
      f.isTime = reader.read(symbols, f.time);
    }
    if (atTheStart && !f.isTime) continue;
    frames.push_back(std::move(f));
  }
  // A frame that is no time and overlaps one that is was framed wrongly: a
  // silence before a transmission read as its marker, say.
  const double halfFrameS = static_cast<double>(length) * seconds.periodMs / 2000;
  std::vector<DecodedFrame> kept;
  for (const DecodedFrame& f : frames) {
    const bool beside = !f.isTime && std::any_of(frames.begin(), frames.end(), [&](const DecodedFrame& t) {
      return t.isTime && std::fabs(t.beginsS - f.beginsS) < halfFrameS;
    });
    if (!beside) kept.push_back(f);
  }
  return kept;
}

bool Near(double hz, double of) { return std::fabs(hz / of - 1) < 0.02; }

// JJY40 and JJY60 send the same code: the tone tells them apart, where it
// is one of theirs.
void NameTheStation(Decoding& d) {
  d.stationName = d.station->name;
  if (std::string_view(d.station->option).rfind("jjy", 0) != 0) return;
  for (const Station& s : kStations) {
    if (std::string_view(s.option).rfind("jjy", 0) == 0 && (Near(d.toneHz, s.toneHz) || Near(d.toneHz, s.carrierHz))) {
      d.station = &s;
      d.stationName = s.name;
      return;
    }
  }
  d.stationName = "JJY";
}

int TimesIn(const std::vector<DecodedFrame>& frames) {
  return static_cast<int>(std::count_if(frames.begin(), frames.end(), [](const DecodedFrame& f) { return f.isTime; }));
}

}  // namespace

Decoding Decode(const float* samples, std::size_t count, double rate, const Station* station, double toneHz) {
  Decoding result;
  std::vector<double> tones = FindToneCandidates(samples, count, rate, toneHz);
  if (tones.empty() && toneHz > 0) tones.push_back(toneHz);
  if (tones.empty()) {
    result.failure = "no tone found";
    return result;
  }
  result.failure = "the tone is not keyed: no seconds";
  double bestCost = 1e9;
  int bestTimes = -1;
  for (double tone : tones) {
    const std::vector<float> low = LowLevels(samples, count, rate, tone);
    if (low.empty()) continue;
    Seconds byEdge[2];
    bool found[2] = {false, false};
    for (const Station& candidate : kStations) {
      if (station != nullptr && station != &candidate) continue;
      const FieldReader* reader = FindFieldReader(candidate.option);
      if (reader == nullptr) continue;
      const auto e = static_cast<std::size_t>(EdgeOf(candidate));
      if (!found[e]) {
        byEdge[e] = FindSeconds(low, static_cast<SecondEdge>(e));
        found[e] = true;
      }
      const Seconds& seconds = byEdge[e];
      if (seconds.list.size() < reader->frameSeconds) continue;
      if (bestTimes < 0) result.failure = "no whole frame found (too noisy, or too short)";
      const Classified c = Classify(seconds, PatternsOf(candidate));
      std::vector<DecodedFrame> frames = ReadFrames(seconds, c, *reader);
      const int times = TimesIn(frames);
      if (frames.empty() || times < bestTimes || (times == bestTimes && c.meanCost >= bestCost)) continue;
      bestTimes = times;
      bestCost = c.meanCost;
      result.station = &candidate;
      result.toneHz = tone;
      result.frames = std::move(frames);
    }
    if (bestTimes > 0) break;
  }
  if (result.station != nullptr) {
    NameTheStation(result);
    result.failure = bestTimes > 0 ? "" : "no frame carried a time";
  }
  return result;
}

}  // namespace decode
