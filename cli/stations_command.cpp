// tempiola-cli stations: the stations the transmitter can imitate.
#include <cstdio>
#include <string>

#include "cli/cli.h"
#include "signal/station_table.h"

namespace cli {

namespace {

constexpr const char* kHelp =
    "Lists the stations with the name --station takes, the carrier, the tone\n"
    "played (a harmonic of it falls on the carrier), the frame length and the\n"
    "time the frames carry.\n";

}  // namespace

int RunStations(int argc, char** argv, int first) {
  Args args;
  if (auto done = ParseCommand(argc, argv, first, {}, "stations", kHelp, args)) return *done;
  if (!args.positional().empty()) return Usage("stations");
  for (const Station& s : kStations) {
    std::printf("%-6s carrier %5.1f kHz  tone %9.3f Hz  %2u-s frames  %s\n", s.option, s.carrierHz / 1000,
                s.toneHz, s.frameSeconds, s.timeSent);
  }
  return 0;
}

}  // namespace cli
