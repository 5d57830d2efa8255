// The tests' reader of the program's sound, for every station BPC among
// them: the tone's presence in the middle of each tenth of each second,
// matched against the station's symbol shapes, the way a receiver would.
// The result is written in the stations' notation, so tests compare it with
// the documented frames, or with what the encoder gives.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/local_time.h"
#include "signal/station.h"
#include "signal/station_notation.h"
#include "signal/station_table.h"
#include "signal/stations/bpc.h"

namespace station_test {

// Goertzel: is the tone there, near full scale, in samples[from, from + count)?
inline bool ToneAt(std::span<const std::int16_t> samples, std::size_t from, std::size_t count, unsigned rate,
                   double toneHz) {
  if (from + count > samples.size()) return false;
  const double coeff = 2.0 * std::cos(2.0 * 3.141592653589793 * toneHz / rate);
  double s1 = 0, s2 = 0;
  for (std::size_t i = from; i < from + count; ++i) {
    const double s0 = samples[i] + coeff * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
  return 2.0 * std::sqrt(power > 0 ? power : 0) / static_cast<double>(count) > 8000.0;
}

// Whether the shape has the tone on at ms within its second.
inline bool ShapeOnAt(const SymbolShape& shape, unsigned ms) {
  unsigned end = 0;
  for (int part = 0; part < 4; ++part) {
    end += shape.ms[part];
    if (ms < end) return part % 2 == 1;
  }
  return false;
}

// The frame whose second 0 begins at sample `start`; a second that matches
// no shape reads as "?". With slack, each second after the first begins
// where the tone goes off within that many samples of a second after the
// one before (for stations whose seconds all begin silent), as a receiver
// that follows its seconds reads them; without, exactly a second after.
inline std::string DecodeFrame(const Station& station, std::span<const std::int16_t> samples, std::size_t start,
                               unsigned rate, std::size_t slack = 0) {
  StationFrame frame{};
  const std::size_t window = rate / 100;  // 10 ms in the middle of each tenth
  const std::size_t step = rate / 500;    // 2 ms, where an edge is looked for
  std::size_t secondStart = start;
  for (unsigned second = 0; second < station.frameSeconds; ++second) {
    if (second > 0) {
      secondStart += rate;
      for (std::size_t at = secondStart > slack ? secondStart - slack : step; slack > 0 && at <= secondStart + slack; at += step) {
        if (ToneAt(samples, at - step, step, rate, station.toneHz) && !ToneAt(samples, at, step, rate, station.toneHz)) {
          secondStart = at;
          break;
        }
      }
    }
    bool heard[10];
    for (unsigned tenth = 0; tenth < 10; ++tenth) {
      const std::size_t middle = secondStart + (2 * tenth + 1) * std::size_t{rate} / 20;
      heard[tenth] = ToneAt(samples, middle - window / 2, window, rate, station.toneHz);
    }
    frame[second] = 255;
    for (int symbol = 0; symbol < kMaxStationSymbols && station.symbolText[symbol] != nullptr; ++symbol) {
      bool same = true;
      for (unsigned tenth = 0; tenth < 10 && same; ++tenth) {
        same = heard[tenth] == ShapeOnAt(station.shapes[symbol], 100 * tenth + 50);
      }
      if (same) {
        frame[second] = static_cast<std::uint8_t>(symbol);
        break;
      }
    }
  }
  return StationFrameText(station, frame);
}

inline const Station& Bpc() { return *FindStation("bpc"); }

// BPC's frame whose second 0 begins at sample `start`, as heard.
inline std::string HeardBpcFrame(std::span<const std::int16_t> samples, std::size_t start, unsigned rate) {
  return DecodeFrame(Bpc(), samples, start, rate);
}

// What the encoder gives for BPC's frame whose symbol 1 carries these
// fields (weekday 1 = Sunday), or the local time t.
inline std::string BpcFrameText(int year, int month, int day, int weekday, unsigned hour, int minute, int second) {
  BpcFrame symbols{};
  EncodeBpcFrame(year, month, day, weekday, hour, minute, second, symbols);
  StationFrame frame{};
  ToStationFrame(symbols, frame);
  return StationFrameText(Bpc(), frame);
}
inline std::string BpcFrameText(platform::Time64 t) {
  const platform::CivilTime f = platform::ToLocalTime(t);
  return BpcFrameText(f.year, f.month, f.day, f.weekday, static_cast<unsigned>(f.hour), f.minute, f.second);
}

}  // namespace station_test
