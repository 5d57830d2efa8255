// Where the running executable lives (what GetModuleFileName gives on
// Windows, /proc/self/exe elsewhere).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Full path of the running executable, a path as platform/file.h takes it
// (UTF-8 on Windows); empty when it cannot be read.
std::string ExecutablePath();

// The executable's directory, ending in the system's separator.
std::string ExecutableDirectory();

// The system's directory separators; the first is the one it writes.
extern const char kDirectorySeparators[];

// Where the file name begins in a path (platform/file.h): just after its
// last separator, 0 when it has none. No byte of a character beyond ASCII
// in UTF-8 is a separator.
std::size_t FileNameStart(std::string_view path, std::string_view separators = kDirectorySeparators);

}  // namespace platform
