// Process-wide values of the window program.
#pragma once

// The executable's directory, ending in '/' (set at start-up; the server
// list lives there, or is found from it: LocateServerList).
inline constexpr int kExeDirSize = 260;
extern char g_exeDir[kExeDirSize];
