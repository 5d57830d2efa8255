// What the commands that read frames from sound (decode, listen) share:
// the tone option and the line printed for a frame.
#pragma once

#include <string>

#include "cli/cli.h"
#include "signal/decode/decoder.h"

namespace cli {

// --station NAME (null when not given) and --tone HZ, 100 to 96000 (0 when
// not given). False with a message on a bad value.
bool ReadingOptions(const Args& args, const Station*& station, double& toneHz, std::string& error);

// One frame: where its minute (BPC: the frame) begins, in seconds, the
// station, and the time as the watch reads it, or why it carries none.
std::string FrameLine(const char* stationName, const decode::DecodedFrame& f);

}  // namespace cli
