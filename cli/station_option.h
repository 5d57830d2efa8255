// The --station option of frame, render and transmit.
#pragma once

#include <string>

#include "cli/cli.h"
#include "signal/station.h"

namespace cli {

// The station that --station names, BPC when it is not given; null with a
// one-line reason for a name that is no station's.
const Station* StationOption(const Args& args, std::string& error);

// "bpc|jjy40|..." for the usages.
std::string StationChoices();

}  // namespace cli
