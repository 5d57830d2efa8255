// The transmit modes (the main window's mode list) and the sample rates the
// transmitter and a render play, with the device format they are played in.
#pragma once

#include <cstdint>
#include <string>

#include "platform/wave_out.h"
#include "res/language.h"

// 16-bit mono PCM at the given rate, the device format of the frame audio.
platform::WaveFormat FrameAudioFormat(unsigned rate);

// A transmit mode: the mode list's item text, its sample rate (the item
// data), the device capability bit that makes it available (0: always
// offered) and whether it sends the carrier itself rather than the tone.
struct TransmitMode {
  const res::Text* text;
  unsigned rate;
  std::uint32_t capability;
  bool carrier;
};

inline constexpr int kTransmitModeCount = 4;
extern const TransmitMode kTransmitModes[kTransmitModeCount];

// The mode of that rate, or null.
const TransmitMode* FindTransmitMode(unsigned rate);

// The rates the transmitter and a render play: the modes' and 176 400 Hz.
inline constexpr unsigned kSampleRates[] = {44100, 48000, 96000, 176400, 192000};
inline constexpr unsigned kMaxSampleRate = 192000;

// True for one of kSampleRates.
bool IsTransmitRate(unsigned rate);

// The rates as the command line names them: "44100|48000|...", or with
// `last` before the last one ("44100, 48000, ... or 192000").
std::string SampleRateChoices(const char* separator, const char* last);
