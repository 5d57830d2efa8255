// Reads frames from sound as it comes in (a sound input): what has come
// in over the last minutes is decoded every few seconds, and each frame is
// given once, when it is whole, with where its minute mark lay on the
// system clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "signal/decode/decoder.h"

namespace decode {

struct HeardFrame {
  const char* stationName = "";
  DecodedFrame frame;         // beginsS, endsS: seconds since the first sample
  double markOffsetMs = 0;    // its minute mark against the system clock's
                              // nearest frame boundary (BPC: 20 s), -half to +half
};

class LiveDecoder {
 public:
  // station and toneHz may be null and 0: they are found, and then kept.
  LiveDecoder(double rate, const Station* station, double toneHz);

  // Samples that came in, the first of them at firstNs on CLOCK_REALTIME.
  // Returns 0 when they follow those before; otherwise (samples were lost,
  // or the input stood still) the seconds missing before them, and what
  // came before is forgotten: they begin afresh.
  double Add(const float* samples, std::size_t count, std::int64_t firstNs);
  // The frames become whole since the last call, each once, in order;
  // decodes only when some seconds have come in since it did last.
  std::vector<HeardFrame> Poll();

  // Why nothing has been read, while nothing has.
  const std::string& failure() const { return failure_; }

 private:
  // The system-clock time of sample 0 (the first ever) as the dates near
  // sample `index` imply it.
  double OriginNs(std::uint64_t index) const;

  double rate_;
  const Station* station_;
  double toneHz_;
  std::uint64_t total_ = 0;        // samples added, in all
  std::vector<float> window_;      // the last minutes of them
  std::uint64_t windowFirst_ = 0;  // the index of its first
  std::uint64_t decodedAt_ = 0;    // total_ at the last decoding
  double lastBegins_ = 0;          // where the frame given last begins (a sample index)
  bool given_ = false;
  // For each block since the last gap: its first sample's index and the
  // system-clock time of sample 0 it implies (its date less its index).
  struct Dated {
    std::uint64_t index;
    double originNs;
  };
  std::deque<Dated> dates_;
  std::string failure_ = "nothing heard yet";
};

}  // namespace decode
