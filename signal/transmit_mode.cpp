#include "signal/transmit_mode.h"

#include <iterator>

#include "res/strings.h"

constexpr TransmitMode kTransmitModes[kTransmitModeCount] = {
    {&res::kMode0, 44100, 0, false},
    {&res::kMode1, 48000, platform::WAVE_FORMAT_48M16, false},
    {&res::kMode2, 96000, platform::WAVE_FORMAT_96M16, false},
    {&res::kMode3, 192000, platform::kWaveFormat192M16, true},
};

platform::WaveFormat FrameAudioFormat(unsigned rate) {
  platform::WaveFormat f{};
  f.wFormatTag = platform::WAVE_FORMAT_PCM;
  f.nChannels = 1;
  f.nSamplesPerSec = rate;
  f.nAvgBytesPerSec = 2 * rate;
  f.nBlockAlign = 2;
  f.wBitsPerSample = 16;
  f.cbSize = 0;
  return f;
}

const TransmitMode* FindTransmitMode(unsigned rate) {
  for (const TransmitMode& m : kTransmitModes) {
    if (m.rate == rate) return &m;
  }
  return nullptr;
}

bool IsTransmitRate(unsigned rate) {
  for (unsigned r : kSampleRates) {
    if (r == rate) return true;
  }
  return false;
}

std::string SampleRateChoices(const char* separator, const char* last) {
  std::string text;
  const std::size_t count = std::size(kSampleRates);
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) text += i + 1 == count ? last : separator;
    text += std::to_string(kSampleRates[i]);
  }
  return text;
}
