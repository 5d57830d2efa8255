// --offset SECONDS of frame, render and transmit: the time sent is moved by
// a fixed amount, e.g. for a watch that expects another zone, or to try a
// watch's summer-time change without waiting for it.
#pragma once

#include <cstdint>
#include <string>

#include "cli/cli.h"
#include "platform/system_time.h"

namespace cli {

using platform::kNanosecondsPerSecond;

inline constexpr std::int64_t kMaxOffsetSeconds = 86400;

// The offset in nanoseconds (0 without the option). False with a one-line
// reason for anything but a decimal number of seconds (sign and up to nine
// decimals allowed) from -86400 to 86400.
bool OffsetOption(const Args& args, std::int64_t& ns, std::string& error);

// The whole seconds of an offset, rounded down.
std::int64_t WholeSeconds(std::int64_t ns);

}  // namespace cli
