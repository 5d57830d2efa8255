#include "bpc/station_audio.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// One second of the shape, and `extra` samples more of the part that ends
// it; n0 is the phase index of its first sample. The tone's samples are
// computed exactly as for BPC's seconds, so that BPC sounds the same
// through here.
void SynthesizeShape(std::int16_t* out, std::int64_t n0, double frequency, const SymbolShape& shape, unsigned rate,
                     unsigned extra) {
  const double pi = 3.141592653589793;
  const double omega = 2 * pi * frequency;
  const double r = static_cast<double>(rate);
  int lastPart = 3;
  while (lastPart > 0 && shape.ms[lastPart] == 0) --lastPart;
  std::int64_t n = n0;
  unsigned done = 0;
  unsigned elapsedMs = 0;
  for (int part = 0; part <= lastPart; ++part) {
    elapsedMs += shape.ms[part];
    const unsigned end =
        part == lastPart ? rate + extra : std::min(static_cast<unsigned>(r * elapsedMs * 0.001), rate);
    const bool tone = part % 2 == 1;
    for (; done < end; ++done, ++n) {
      *out++ = tone ? static_cast<std::int16_t>(std::sin(omega * n / r) * 32767.5 - 0.5) : 0;
    }
  }
}

}  // namespace

std::size_t BuildStationAudio(const Station& station, platform::Time64 frameStart, unsigned firstSecond,
                              unsigned seconds, unsigned rate, std::int16_t* out, std::int64_t phaseShift, int adjust) {
  StationFrame frame{};
  station.encode(frameStart, frame);
  const unsigned last = std::min(firstSecond + seconds, station.frameSeconds);
  std::size_t written = 0;
  for (unsigned i = firstSecond; i < last; ++i) {
    const unsigned extra = i + 1 == last && adjust > 0 ? static_cast<unsigned>(adjust) : 0;
    // An encoder writes only indices of its shapes; anything else is sent as
    // the first rather than read past the table.
    const SymbolShape& shape = station.shapes[frame[i] < kMaxStationSymbols ? frame[i] : 0];
    SynthesizeShape(out + written, std::int64_t{i} * rate + phaseShift, station.toneHz, shape, rate, extra);
    written += rate + extra;
  }
  // Dropped samples come off the end of the last second.
  if (adjust < 0) written -= std::min<std::size_t>(written, static_cast<std::size_t>(-adjust));
  return written;
}
