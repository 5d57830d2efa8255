#include "cli/commands.h"

namespace cli {

// Defined in the command files of this folder.
int RunVersion(int argc, char** argv, int first);
int RunServers(int argc, char** argv, int first);

const Command kCommands[] = {
    {"version", "print the program version", RunVersion},
    {"servers", "list, add, delete or restore the NTP servers in Server.dat", RunServers},
};
const int kCommandCount = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);

}  // namespace cli
