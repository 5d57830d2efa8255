// The built-in server list, shown whenever Server.dat is missing or damaged.
#pragma once

#include <cstddef>

inline constexpr size_t kDefaultServerCount = 27;

// Complete entry texts (GBK), numbered for a list of 27.
extern const char* const DefaultServerTable[kDefaultServerCount];
