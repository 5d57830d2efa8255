// Reads BPC frames out of a recording the way a receiver would: it follows
// the envelope of the 13.7 kHz tone (heard as tests/signal/station_decoder.h
// hears it), measures the silence that opens each second and groups the
// seconds into frames after the reference second (the one second with no
// silence), dating each.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/local_time.h"
#include "signal/stations/bpc.h"
#include "tests/signal/station_decoder.h"

namespace e2e {

struct ReceivedFrame {
  double startMs = 0;   // where the reference second begins in the recording
  std::string symbols;  // in BPC's notation ("0,2,0,..."), "?" for a second of no symbol
};

struct Reception {
  double leadSilenceMs = 0;  // silence before the first tone
  std::vector<ReceivedFrame> frames;  // complete frames only
  int brokenFrames = 0;  // seconds that did not add up to a frame, before the last one
};

// How far a second may lie from a second after the one before it. The
// Windows program, which learns only where the output is, keeps its seconds
// within 50 ms of their time (further it calls a stall and starts again),
// and Wine's sound path, on a busy machine, runs dry for some milliseconds
// now and then; Linux's keeps within a few.
inline double SecondSlackMs(bool windowsBuild) { return windowsBuild ? 50.0 : 20.0; }

class BpcReceiver {
 public:
  static constexpr double kToneHz = 13700.0;
  // About 2 ms, a whole number of samples.
  static std::size_t WindowSamples(unsigned rate) { return rate / 500; }

  // True per window when the tone is on, as the stations' reader hears it.
  static std::vector<bool> Envelope(const std::vector<std::int16_t>& samples, unsigned rate) {
    const std::size_t window = WindowSamples(rate);
    std::vector<bool> on;
    for (std::size_t start = 0; start + window <= samples.size(); start += window) {
      on.push_back(station_test::ToneAt(samples, start, window, rate, kToneHz));
    }
    return on;
  }

  static Reception Receive(const std::vector<std::int16_t>& samples, unsigned rate, double slackMs) {
    std::vector<bool> on = Envelope(samples, rate);
    const double windowMs = 1000.0 * static_cast<double>(WindowSamples(rate)) / rate;
    struct Run {
      double startMs, lengthMs;
    };
    std::vector<Run> silences;
    Reception r;
    std::size_t i = 0;
    while (i < on.size()) {
      std::size_t j = i;
      while (j < on.size() && on[j] == on[i]) ++j;
      if (!on[i]) {
        Run run{static_cast<double>(i) * windowMs, static_cast<double>(j - i) * windowMs};
        if (i == 0) r.leadSilenceMs = run.lengthMs;
        // A symbol's silence, followed by tone.
        if (j < on.size() && run.lengthMs > 60 && run.lengthMs < 460) silences.push_back(run);
      }
      i = j;
    }
    // Seconds one apart (give or take slackMs) belong to one frame; the
    // reference second leaves a two-second gap before symbol 1.
    std::vector<std::vector<Run>> groups;
    for (std::size_t k = 0; k < silences.size(); ++k) {
      if (k == 0 || std::fabs(silences[k].startMs - silences[k - 1].startMs - 1000.0) > slackMs) groups.emplace_back();
      groups.back().push_back(silences[k]);
    }
    for (std::size_t g = 0; g < groups.size(); ++g) {
      if (groups[g].size() != 19) {
        if (g + 1 < groups.size()) ++r.brokenFrames;
        continue;
      }
      StationFrame symbols{};  // second 0, the reference marker, is symbol 0
      for (std::size_t s = 0; s < groups[g].size(); ++s) {
        const long symbol = std::lround(groups[g][s].lengthMs / 100.0) - 1;
        symbols[s + 1] = symbol >= 0 && symbol <= 3 ? static_cast<std::uint8_t>(symbol) : 255;
      }
      r.frames.push_back({groups[g][0].startMs - 1000.0, StationFrameText(station_test::Bpc(), symbols)});
    }
    return r;
  }
};

// The symbols a frame sent for local time t must carry.
inline std::string FrameFor(platform::Time64 t) { return station_test::BpcFrameText(t); }

}  // namespace e2e
