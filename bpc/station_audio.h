// A station's frames as sound: the station's tone, phase-continuous from the
// frame's first sample, silent in the low parts of each second's shape.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bpc/station.h"

// The transmitter's buffers hold 20 seconds each: a BPC frame, or a third of
// a 60-second frame, so that every station plays from the same two buffers.
inline constexpr unsigned kPieceSeconds = 20;

// Writes `seconds` seconds (seconds * rate samples) of the frame that begins
// at frameStart, from its second `firstSecond` on, and returns the samples
// written. The phase comes from the sample's index within the whole frame,
// so pieces of one frame join without a jump, and so do frames: every tone
// fits a whole number of cycles into a frame.
// To keep the seconds on the clock, `adjust` samples are added at the end
// of the last second (or, negative, dropped from it), where no second
// begins; `phaseShift`, what was added so far, moves the phase index of
// every sample along, so that the tone runs on across the adjustment.
std::size_t BuildStationAudio(const Station& station, platform::Time64 frameStart, unsigned firstSecond,
                              unsigned seconds, unsigned rate, std::int16_t* out, std::int64_t phaseShift = 0,
                              int adjust = 0);
