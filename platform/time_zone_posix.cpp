#include "platform/time_zone.h"

#include <cstdlib>

namespace platform {

// glibc reads every form, an empty value (UTC) included.
ZoneVariable TimeZoneVariable() { return std::getenv("TZ") != nullptr ? ZoneVariable::Read : ZoneVariable::Unset; }

}  // namespace platform
