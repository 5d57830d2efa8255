// The TZ variable, as this system's runtime reads it. Linux reads every
// form. Windows' runtime reads only its own (a three-letter name, the hours
// west of UTC, an optional summer-time name: JST-9, EST5EDT) and misreads
// any other (Asia/Tokyo as UTC with US summer time), so there another value
// is ignored and local time is the system's time zone.
#pragma once

namespace platform {

enum class ZoneVariable { Unset, Read, Ignored };

ZoneVariable TimeZoneVariable();

}  // namespace platform
