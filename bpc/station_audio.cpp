#include "bpc/station_audio.h"

#include <cmath>
#include <cstddef>

namespace {

// One second of the shape; n = first is the frame index of its first
// sample. The tone's samples are computed exactly as for BPC's seconds, so
// that BPC sounds the same through here.
void SynthesizeShape(std::int16_t* out, unsigned first, double frequency, const SymbolShape& shape, unsigned rate) {
  const double pi = 3.141592653589793;
  const double omega = 2 * pi * frequency;
  const double r = static_cast<double>(rate);
  unsigned n = first;
  unsigned done = 0;
  unsigned elapsedMs = 0;
  for (int part = 0; part < 4; ++part) {
    elapsedMs += shape.ms[part];
    unsigned end = part == 3 ? rate : static_cast<unsigned>(r * elapsedMs * 0.001);
    if (end > rate) end = rate;
    const bool tone = part % 2 == 1;
    for (; done < end; ++done, ++n) {
      *out++ = tone ? static_cast<std::int16_t>(std::sin(omega * n / r) * 32767.5 - 0.5) : 0;
    }
  }
}

}  // namespace

void BuildStationAudio(const Station& station, platform::Time64 frameStart, unsigned firstSecond, unsigned seconds,
                       unsigned rate, std::int16_t* out) {
  StationFrame frame{};
  station.encode(frameStart, frame);
  for (unsigned i = firstSecond; i < firstSecond + seconds && i < station.frameSeconds; ++i) {
    SynthesizeShape(out, i * rate, station.toneHz, station.shapes[frame[i]], rate);
    out += rate;
  }
}
