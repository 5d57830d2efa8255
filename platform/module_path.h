// Where the running executable lives (what GetModuleFileName gives on
// Windows), from /proc/self/exe.
#pragma once

#include <string>

namespace platform {

// Full path of the running executable; empty when it cannot be read.
std::string ExecutablePath();

// The executable's directory, ending in '/'.
std::string ExecutableDirectory();

}  // namespace platform
