// The front end of the decoder: from sound to where an amplitude-keyed tone
// is low, a millisecond at a time. A time station keys its carrier (and this
// program its tone) down in a part of every second; a receiver or SDR in CW
// or USB mode hears that carrier as a tone of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace decode {

// The envelope and the slicer's decisions work in steps of this many
// milliseconds' worth of samples at the file's rate: 1 ms.
inline constexpr double kStepsPerSecond = 1000;

// The frequencies of the strongest narrow lines between 100 Hz and near the
// rate's limit, strongest first: the tone is one of them (an interfering
// carrier may be stronger). Empty when nothing stands clear of the noise.
// Near `hint` (Hz, 0: anywhere) only, within 2 % either way, when given.
std::vector<double> FindToneCandidates(const float* samples, std::size_t count, double rate, double hint);

// For each millisecond from the start, how sure it is that the tone is low
// there: 1 low, 0 high, between where the level lies between the two. The
// high and low levels are followed through slow fading; a tone never keyed
// gives nothing (empty).
std::vector<float> LowLevels(const float* samples, std::size_t count, double rate, double toneHz);

}  // namespace decode
