// A station's frames as sound: the station's tone, phase-continuous from the
// frame's first sample, silent in the low parts of each second's shape.
#pragma once

#include <cstdint>

#include "bpc/station.h"

// Writes `seconds` seconds (seconds * rate samples) of the frame that begins
// at frameStart, from its second `firstSecond` on. The phase comes from the
// sample's index within the whole frame, so pieces of one frame join without
// a jump, and so do frames: every tone fits a whole number of cycles into a
// frame.
void BuildStationAudio(const Station& station, platform::Time64 frameStart, unsigned firstSecond, unsigned seconds,
                       unsigned rate, std::int16_t* out);
