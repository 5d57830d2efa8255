// A station's frames as sound: the station's tone (or its carrier itself),
// phase-continuous, silent in the low parts of each second's shape.
#pragma once

#include <cstddef>
#include <cstdint>

#include "signal/station.h"

// The transmitter's buffers hold 20 seconds each: a BPC frame, or a third of
// a 60-second frame, so that every station plays from the same two buffers.
inline constexpr unsigned kPieceSeconds = 20;

// What is played: the tone whose harmonic falls on the carrier, or, for a
// device that plays fast enough and a loop beside the watch, the carrier.
inline double SignalFrequency(const Station& station, bool carrier) {
  return carrier ? station.carrierHz : station.toneHz;
}

// True when the rate samples the frequency: more than two samples a cycle.
inline bool RateCarries(unsigned rate, double frequency) { return rate > 2 * frequency; }

// Writes `seconds` seconds (seconds * rate samples) of the frame that begins
// at frameStart, from its second `firstSecond` on, at `frequency`, and
// returns the samples written. The phase comes from the sample's index
// within the whole frame, so pieces of one frame join without a jump, and
// so do frames: every tone and carrier fits a whole number of cycles into
// a frame.
// To keep the seconds on the clock, `adjust` samples are added at the end
// of the last second (or, negative, dropped from it), where no second
// begins; `phaseShift`, what was added so far, moves the phase index of
// every sample along, so that the tone runs on across the adjustment.
std::size_t BuildStationAudio(const Station& station, double frequency, platform::Time64 frameStart,
                              unsigned firstSecond, unsigned seconds, unsigned rate, std::int16_t* out,
                              std::int64_t phaseShift = 0, int adjust = 0);

// As BuildStationAudio, for a frame already encoded.
std::size_t SynthesizeStationFrame(const Station& station, const StationFrame& frame, double frequency,
                                   unsigned firstSecond, unsigned seconds, unsigned rate, std::int16_t* out,
                                   std::int64_t phaseShift = 0, int adjust = 0);

// One second of the shape (rate samples), and `extra` samples more of the
// part that ends it; n0 is the phase index of its first sample.
void SynthesizeShape(std::int16_t* out, std::int64_t n0, double frequency, const SymbolShape& shape, unsigned rate,
                     unsigned extra = 0);

// Synthesis for a device whose sample clock runs off its nominal rate: it
// plays rate * ratio samples in a second of the system clock, so a piece
// made for it holds that many a second, each part of a second begins at the
// first sample that plays at or after its instant, and the phase steps by
// 2 pi f / (rate * ratio) a sample. The state carries on from piece to
// piece.
struct ClockedSynthesis {
  double ratio = 1.0;  // the device's samples for each nominal one: 1 + ppm / 1e6
  double phase = 0.0;  // the tone's phase at the next sample, radians in [0, 2 pi)
  double late = 0.0;   // how far after the next piece's instant its first sample plays, in samples [0, 1)
};

// The greatest ratio the synthesis is asked for (a sample clock 1000 ppm
// fast; the least is as far below 1), and so the room a piece needs beyond
// its nominal samples.
inline constexpr double kMaxClockRatio = 1.001;
constexpr std::size_t ClockedSamplesBound(unsigned seconds, unsigned rate) {
  return std::size_t{seconds} * rate + std::size_t{seconds} * rate / 1000 + 2;
}

// As BuildStationAudio, for the device of `synth` (whose ratio lies within
// 2 - kMaxClockRatio .. kMaxClockRatio): writes at most
// ClockedSamplesBound(seconds, rate) + adjust samples and returns how many.
// Added samples (adjust > 0) come first, as more of the part that ended the
// second before, so that this piece's own seconds begin that much later;
// dropped ones (adjust < 0) come off the end of its last second, so that
// the next piece's begin earlier.
std::size_t BuildClockedStationAudio(const Station& station, double frequency, platform::Time64 frameStart,
                                     unsigned firstSecond, unsigned seconds, unsigned rate, ClockedSynthesis& synth,
                                     std::int16_t* out, int adjust = 0);

// The phase at frame sample index n of the nominal synthesis, for a clocked
// one that carries on from it.
double NominalPhase(double frequency, std::int64_t n, unsigned rate);
