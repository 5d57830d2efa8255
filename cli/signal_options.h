// The options of render and transmit that say how the signal is made:
// --rate R, --carrier (the carrier itself rather than the tone below it)
// and --sample-clock-ppm P (for a device whose sample clock runs P ppm
// fast, or slow when negative).
#pragma once

#include <string>

#include "cli/cli.h"
#include "signal/station.h"

namespace cli {

inline constexpr double kMaxSampleClockPpm = 1000;

struct SignalOptions {
  unsigned rate = 44100;
  bool carrier = false;
  double sampleClockPpm = 0;
};

// The options for the station; false with a one-line reason for a rate
// that is not one of the rates, a carrier the rate cannot carry, or a
// figure that is not a number within +-1000 ppm.
bool ParseSignalOptions(const Args& args, const Station& station, SignalOptions& out, std::string& error);

// "[--rate 44100|...] [--carrier] [--sample-clock-ppm P]" for the usages.
std::string SignalOptionsUsage();

}  // namespace cli
