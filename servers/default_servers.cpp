#include "servers/default_servers.h"

#include "res/strings.h"

const char* const DefaultServerTable[kDefaultServerCount] = {
    res::kDefaultServer1,
    res::kDefaultServer2,
    res::kDefaultServer3,
    res::kDefaultServer4,
    res::kDefaultServer5,
    res::kDefaultServer6,
    res::kDefaultServer7,
    res::kDefaultServer8,
    res::kDefaultServer9,
    res::kDefaultServer10,
    res::kDefaultServer11,
    res::kDefaultServer12,
    res::kDefaultServer13,
    res::kDefaultServer14,
    res::kDefaultServer15,
    res::kDefaultServer16,
    res::kDefaultServer17,
    res::kDefaultServer18,
    res::kDefaultServer19,
    res::kDefaultServer20,
    res::kDefaultServer21,
    res::kDefaultServer22,
    res::kDefaultServer23,
    res::kDefaultServer24,
    res::kDefaultServer25,
    res::kDefaultServer26,
    res::kDefaultServer27,
};
