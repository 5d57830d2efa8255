// Reads a recording of the program's sound back into frames with the
// program's own decoder, as a receiver would: where each whole frame
// begins, the time it carries, and how evenly its seconds came.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/local_time.h"
#include "signal/decode/decoder.h"
#include "signal/decode/keyed_tone.h"
#include "signal/station.h"

namespace e2e {

struct ReceivedFrame {
  double startMs = 0;  // where the minute it carries (BPC: the frame) begins in the recording
  std::string time;    // as TimeText
};

struct Reception {
  double leadSilenceMs = 0;           // silence before the first tone
  double firstSilenceMs = -1;         // where the first symbol's silence begins
  std::vector<ReceivedFrame> frames;  // the whole frames that carried a time
  int brokenFrames = 0;               // whole frames that carried none
  // The furthest a second lay from a second after the one before, of the
  // seconds that begin where the tone goes off (BPC's, but for its
  // reference second); a restart on a new phase counts too.
  double worstSecondMs = 0;
};

// How far a second may lie from a second after the one before it. The
// Windows program, which learns only where the output is, keeps its seconds
// within 50 ms of their time (further it calls a stall and starts again),
// and Wine's sound path, on a busy machine, runs dry for some milliseconds
// now and then; Linux's keeps within a few.
inline double SecondSlackMs(bool windowsBuild) { return windowsBuild ? 50.0 : 20.0; }

// A carried time as one text, every field of it, to compare and to show.
inline std::string TimeText(const decode::CarriedTime& t) {
  char text[160];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d day %d zone %s summer %d [%s]", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.weekday, *t.zone ? t.zone : "-", t.summer, t.announce.c_str());
  return text;
}

// What BPC's frame that begins at `start` carries: the computer's local
// time then, as it stands.
inline std::string BpcTime(platform::Time64 start) {
  decode::CarriedTime t;
  static_cast<platform::CivilTime&>(t) = platform::ToLocalTime(start);
  return TimeText(t);
}

// What the station's frame that begins at `start` carries, as its field
// reader reads the encoder's symbols.
inline std::string SentTime(const Station& station, platform::Time64 start) {
  StationFrame frame{};
  station.encode(start, frame);
  decode::CarriedTime t;
  const decode::FieldReader* reader = decode::FindFieldReader(station.option);
  if (reader == nullptr || !reader->read(frame.data(), t)) return "no time: " + t.problem;
  return TimeText(t);
}

// The frames of the station in 16-bit mono samples at rate.
inline Reception Receive(const std::vector<std::int16_t>& samples, unsigned rate, const Station& station) {
  std::vector<float> x(samples.size());
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<float>(samples[i]) / 32768.0F;
  Reception r;
  // The decoder's own front end, a millisecond at a time. It follows the
  // tone's level only near where it is keyed: before, it is neither high
  // nor low.
  const std::vector<float> low = decode::LowLevels(x.data(), x.size(), rate, station.toneHz);
  const double stepMs = 1000 / decode::kStepsPerSecond;
  std::size_t step = 0;
  while (step < low.size() && low[step] >= 0.5F) ++step;
  r.leadSilenceMs = static_cast<double>(step) * stepMs;
  // The seconds' starts: where the tone goes off for a symbol's silence,
  // after which it comes back. Shorter silences are samples the sound
  // path dropped (Wine's, now and then); at the end it stays off.
  double lastMs = -1e9;
  for (std::size_t k = 1; k < low.size(); ++k) {
    if (low[k - 1] >= 0.5F || low[k] < 0.5F) continue;
    std::size_t back = k;
    while (back < low.size() && low[back] >= 0.5F) ++back;
    const double silenceMs = static_cast<double>(back - k) * stepMs;
    if (back == low.size() || silenceMs < 60 || silenceMs > 600) continue;
    const double atMs = static_cast<double>(k) * stepMs;
    if (r.firstSilenceMs < 0) r.firstSilenceMs = atMs;
    // A second after the one before, not after a reference second or a pause.
    if (atMs - lastMs < 1500) r.worstSecondMs = std::max(r.worstSecondMs, std::fabs(atMs - lastMs - 1000));
    lastMs = atMs;
  }
  const decode::Decoding d = decode::Decode(x.data(), x.size(), rate, &station, station.toneHz);
  for (const decode::DecodedFrame& f : d.frames) {
    if (f.isTime) {
      r.frames.push_back({f.beginsS * 1000, TimeText(f.time)});
    } else {
      ++r.brokenFrames;
    }
  }
  return r;
}

}  // namespace e2e
