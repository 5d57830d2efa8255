// Reads BPC symbols back from 16-bit samples by the length of the silence
// that opens each second, the way a receiver would, so tests can check the
// sound against the intended frame without restating the synthesis.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bpc_test {

// Samples before the first one that is not 0, counted from `from`, at most
// `limit`.
inline std::size_t LeadingSilence(const std::int16_t* samples, std::size_t from, std::size_t limit) {
  std::size_t n = 0;
  while (n < limit && samples[from + n] == 0) ++n;
  return n;
}

// The 20 symbols of the frame starting at `frameStart`. Second 0 must be
// the reference marker (no silence) and reads as 0; a second whose silence
// is not within a few samples of 100..400 ms reads as 255.
inline std::vector<int> DecodeFrame(const std::int16_t* samples, std::size_t frameStart, unsigned rate) {
  std::vector<int> symbols;
  for (unsigned i = 0; i < 20; ++i) {
    std::size_t silence = LeadingSilence(samples, frameStart + std::size_t{i} * rate, rate);
    // The tone may start on a zero crossing, so allow a couple of samples.
    std::size_t tenths = silence * 10 / rate;
    std::size_t rest = silence - tenths * rate / 10;
    if (rest > 2) {
      symbols.push_back(255);
    } else if (i == 0) {
      symbols.push_back(tenths == 0 ? 0 : 255);
    } else {
      symbols.push_back(tenths >= 1 && tenths <= 4 ? static_cast<int>(tenths) - 1 : 255);
    }
  }
  return symbols;
}

}  // namespace bpc_test
