// The BPC signal as sound: a 13 700 Hz sine at full scale, switched off for
// 100 to 400 ms at the start of each second to send one symbol, written as
// 16-bit mono PCM. Also the frame buffer sizes and the fixed two-minute test
// signal.
#pragma once

#include <cstddef>
#include <cstdint>

#include "signal/station_audio.h"
#include "signal/transmit_mode.h"

inline constexpr double kToneFrequency = 13700.0;  // one fifth of the 68.5 kHz carrier

// Bytes of one piece (a BPC frame) of 16-bit samples at the rate: 40 * rate.
constexpr std::size_t FrameBytes(unsigned rate) { return std::size_t{2} * kPieceSeconds * rate; }
constexpr std::size_t FrameSamples(unsigned rate) { return std::size_t{kPieceSeconds} * rate; }

// Each of the transmitter's two buffers holds 20 seconds at the highest rate
// (a BPC frame, a third of a minute frame); the transmitter adds the room
// for a fast sample clock and the samples that keep the seconds on the clock.
inline constexpr std::size_t kFrameBufferBytes = FrameBytes(kMaxSampleRate);

// Writes exactly one second (rate samples) to out. n = first is the frame
// index of the second's first sample; the phase is taken from n itself, so
// the tone runs on without a jump across silences and seconds. The first
// offMilliseconds (whole milliseconds, 0 to 1000) of the second are silent.
void SynthesizeSecond(std::int16_t* out, unsigned first, double frequency, double offMilliseconds,
                      unsigned rate);

// Fills out (FrameSamples(rate) samples) with the frame for the local time
// that carries symbol 1 (second 1, 21 or 41); weekday 1 = Sunday. It is
// sent as every station is, through its row in the station table.
void BuildFrameAudio(int year, int month, int day, int weekday, unsigned hour, int minute, int second,
                     unsigned rate, std::int16_t* out);

// The hidden test signal: six consecutive frames for Sunday 2017-01-01
// 01:01:01 to 01:02:41 at 44 100 Hz, 120 s in all.
inline constexpr unsigned kTestSignalRate = 44100;
inline constexpr int kTestSignalFrames = 6;
inline constexpr std::size_t kTestSignalBytes = 10584000;
inline constexpr std::size_t kTestSignalSamples = kTestSignalBytes / 2;
static_assert(kTestSignalBytes == kTestSignalFrames * FrameBytes(kTestSignalRate));

// Fills out (kTestSignalSamples samples) with the test signal.
void BuildTestSignal(std::int16_t* out);
