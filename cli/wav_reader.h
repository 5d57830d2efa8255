// Reads a WAV file's first channel as samples in -1..1: PCM of 8, 16, 24 or
// 32 bits, or IEEE floats of 32 or 64 bits, plain or in the extensible
// format, at any rate from 4 000 to 192 000 Hz.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace cli {

struct WavSound {
  unsigned rate = 0;
  std::vector<float> samples;  // the first channel
};

// From the bytes of a whole file; false with the reason said otherwise. A
// data chunk cut short (a file still being written, a pipe) is read as far
// as it goes.
bool ParseWav(const unsigned char* bytes, std::size_t size, WavSound& sound, std::string& error);

// The whole of a file, or of standard input for "-".
bool ReadInput(const std::string& path, std::vector<unsigned char>& bytes, std::string& error);

}  // namespace cli
