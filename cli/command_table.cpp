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
int RunStations(int argc, char** argv, int first);
int RunDecode(int argc, char** argv, int first);
int RunListen(int argc, char** argv, int first);

const Command kCommands[] = {
    {"version", "print the program version", RunVersion},
    {"frame", "print a station's frame for a local time (BPC by default)", RunFrame},
    {"render", "write a station's frames from a frame boundary to a WAV file", RunRender},
    {"transmit", "transmit a station's time signal on the default sound output", RunTransmit},
    {"decode", "read a station's frames from a WAV recording", RunDecode},
    {"listen", "read a station's frames live from the default sound input", RunListen},
    {"stations", "list the stations: carrier, tone, frame length, time sent", RunStations},
    {"query", "ask an NTP server for the clock offset and network delay", RunQuery},
    {"calibrate", "set the system clock from an NTP server", RunCalibrate},
    {"servers", "list, add, delete or restore the NTP servers in Server.dat", RunServers},
};
const int kCommandCount = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);

}  // namespace cli
