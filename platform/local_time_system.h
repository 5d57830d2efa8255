// The two conversions the C runtime of each system does for local_time.cpp.
#pragma once

#include <ctime>

#include "platform/local_time.h"

namespace platform::detail {

// t as local broken-down time; false when the runtime cannot convert it.
bool SystemLocalTime(Time64 t, std::tm& tm);

// Local broken-down time (tm_isdst -1: the zone decides) as a time value;
// false when the runtime gives -1.
bool SystemMakeTime(std::tm& tm, Time64& out);

}  // namespace platform::detail
