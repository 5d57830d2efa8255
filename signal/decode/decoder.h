// Reads a station's frames back from sound: a recording of this program's
// output or of a real station heard through a receiver or SDR. The tone is
// found (or given), the seconds and their symbols read from its keying, the
// station told from the shapes of its seconds (or given), and every whole
// frame read to the time it carries.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "signal/decode/fields.h"
#include "signal/station.h"

namespace decode {

struct DecodedFrame {
  double beginsS = 0;       // where the minute it carries (BPC: the frame) begins
  double endsS = 0;         // where its last second ends
  bool isTime = false;      // its parities hold and its fields make sense
  CarriedTime time;         // problem says why not, where it is not
};

struct Decoding {
  const Station* station = nullptr;  // as found or given; null when none fits
  const char* stationName = "";      // "DCF77", "JJY40" ...; "JJY" where the tone does not tell which
  double toneHz = 0;
  std::vector<DecodedFrame> frames;  // every whole frame, in order
  std::string failure;               // why nothing was read: no tone, no seconds, no frame
};

// station and toneHz may be null and 0: they are found.
Decoding Decode(const float* samples, std::size_t count, double rate, const Station* station, double toneHz);

}  // namespace decode
