#include "signal/frame_audio.h"

#include <algorithm>

#include "signal/station_table.h"
#include "signal/stations/bpc.h"

void SynthesizeSecond(std::int16_t* out, unsigned first, double frequency, double offMilliseconds,
                      unsigned rate) {
  // Not a number reads as no silence.
  const auto off = static_cast<std::uint16_t>(offMilliseconds > 0 ? std::min(offMilliseconds, 1000.0) : 0.0);
  SynthesizeShape(out, first, frequency, SymbolShape{{off, static_cast<std::uint16_t>(1000 - off), 0, 0}}, rate);
}

void BuildFrameAudio(int year, int month, int day, int weekday, unsigned hour, int minute, int second,
                     unsigned rate, std::int16_t* out) {
  BpcFrame symbols{};
  EncodeBpcFrame(year, month, day, weekday, hour, minute, second, symbols);
  StationFrame frame;
  ToStationFrame(symbols, frame);
  const Station& bpc = kStations[0];
  SynthesizeStationFrame(bpc, frame, bpc.toneHz, 0, kPieceSeconds, rate, out);
}

void BuildTestSignal(std::int16_t* out) {
  struct MinuteSecond {
    int minute;
    int second;
  };
  static constexpr MinuteSecond kTimes[kTestSignalFrames] = {{1, 1}, {1, 21}, {1, 41}, {2, 1}, {2, 21}, {2, 41}};
  for (int k = 0; k < kTestSignalFrames; ++k) {
    BuildFrameAudio(2017, 1, 1, 1, 1, kTimes[k].minute, kTimes[k].second, kTestSignalRate,
                    out + k * FrameSamples(kTestSignalRate));
  }
}
