#include "cli/commands.h"

namespace cli {

// Defined in the command files of this folder.
int RunVersion(int argc, char** argv, int first);
int RunFrame(int argc, char** argv, int first);
int RunRender(int argc, char** argv, int first);
int RunTransmit(int argc, char** argv, int first);
int RunQuery(int argc, char** argv, int first);
int RunCalibrate(int argc, char** argv, int first);
int RunServers(int argc, char** argv, int first);

const Command kCommands[] = {
    {"version", "print the program version", RunVersion},
    {"frame", "print the BPC frame for a local time", RunFrame},
    {"render", "write BPC frames from a frame boundary to a WAV file", RunRender},
    {"transmit", "transmit the BPC time signal on the default sound output", RunTransmit},
    {"query", "ask an NTP server for the clock offset and network delay", RunQuery},
    {"calibrate", "set the system clock from an NTP server", RunCalibrate},
    {"servers", "list, add, delete or restore the NTP servers in Server.dat", RunServers},
};
const int kCommandCount = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);

}  // namespace cli
