#include "bpc/frame_audio.h"

#include <cmath>

#include "bpc/bpc_frame.h"

void SynthesizeSecond(std::int16_t* out, unsigned first, double frequency, double offMilliseconds,
                      unsigned rate) {
  const double pi = 3.141592653589793;
  const double omega = 2 * pi * frequency;
  const double r = static_cast<double>(rate);
  const unsigned offCount = static_cast<unsigned>(r * offMilliseconds * 0.001);
  const unsigned onCount = static_cast<unsigned>(r * (1000 - offMilliseconds) * 0.001);

  // The off part goes through the same expression with amplitude 0, so
  // every sample costs one sine and comes out as 0.
  unsigned n = first;
  for (unsigned k = 0; k < offCount; ++k, ++n) {
    *out++ = static_cast<std::int16_t>(std::sin(omega * n / r) * 32767.5 * 0.0 - 0.5);
  }
  for (unsigned k = 0; k < onCount; ++k, ++n) {
    *out++ = static_cast<std::int16_t>(std::sin(omega * n / r) * 32767.5 - 0.5);
  }
}

void BuildFrameAudio(int year, int month, int day, int weekday, unsigned hour, int minute, int second,
                     unsigned rate, std::int16_t* out) {
  BpcFrame frame{};
  EncodeBpcFrame(year, month, day, weekday, hour, minute, second, frame);
  // Second 0 is the reference marker: tone with no off period.
  SynthesizeSecond(out, 0, kToneFrequency, 0.0, rate);
  for (unsigned i = 1; i < kPieceSeconds; ++i) {
    SynthesizeSecond(out + std::size_t{i} * rate, i * rate, kToneFrequency, (frame[i] + 1) * 100.0, rate);
  }
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
