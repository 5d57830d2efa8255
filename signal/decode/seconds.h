// The decoder's second edges: where each second of a keyed signal begins,
// and how low it is in each tenth of it.
#pragma once

#include <array>
#include <vector>

namespace decode {

// Every station's seconds begin with the same edge: most with the tone
// going low, JJY's with the tone coming back (its low part ends a second).
enum class SecondEdge { kFalling, kRising };

struct Second {
  double startMs;             // from the start of the file
  bool seen;                  // its edge was found (a marker may have none)
  std::array<float, 10> low;  // how low each tenth of it is, 0..1
};

struct Seconds {
  SecondEdge edge = SecondEdge::kFalling;
  double periodMs = 1000;      // a second, in the file's samples' time
  std::vector<Second> list;    // in order; empty where no seconds were found
};

// The seconds of a signal whose lows are given a millisecond at a time
// (see LowLevels), beginning with the given edge.
Seconds FindSeconds(const std::vector<float>& low, SecondEdge edge);

}  // namespace decode
