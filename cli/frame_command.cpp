// tempiola-cli frame [--station NAME] "YYYY-MM-DD HH:MM:SS": the frame of a
// station for that local time. BPC's 20 symbols for the time taken as the
// second that carries symbol 1; for the other stations the frame on the air
// in the minute that holds that time, in the stations' own notation.
#include <cstdio>
#include <string>

#include "cli/time_argument.h"
#include "cli/cli.h"
#include "cli/offset_option.h"
#include "cli/station_option.h"
#include "signal/station_notation.h"

namespace cli {

namespace {

std::string FrameUsage() {
  return "frame [--station " + StationChoices() + "] [--offset SECONDS] \"YYYY-MM-DD HH:MM:SS\"";
}

constexpr const char* kHelp =
    "BPC (the default): prints the frame for that local time, taken as the second\n"
    "that carries the frame position (second 1, 21 or 41), as 20 symbols separated\n"
    "by commas.\n"
    "Other stations: prints the frame on the air in the minute that holds that\n"
    "local time (of the computer's time zone), second 0 first, in six groups of\n"
    "ten seconds: 0 and 1 the bits, M the marker seconds; MSF writes M for second 0\n"
    "and the bits A and B of every other second (00, 10, 11, 01), a group a line.\n"
    "--offset moves the time sent by that many seconds (at most a day either way).\n"
    "Times are the computer's local times; TZ=UTC0 makes them UTC.\n";

}  // namespace

int RunFrame(int argc, char** argv, int first) {
  Args args;
  const OptionSpec options{{"--station", "--offset"}, {}};
  if (auto done = ParseCommand(argc, argv, first, options, FrameUsage(), kHelp, args)) return *done;
  std::string error;
  const Station* station = StationOption(args, error);
  if (station == nullptr) return Fail(error);
  std::int64_t offsetNs = 0;
  if (!OffsetOption(args, offsetNs, error)) return Fail(error);
  if (args.positional().size() != 1) return Usage(FrameUsage());

  std::chrono::local_seconds time;
  if (!ParseCivilTime(args.positional()[0], time)) {
    return Fail("not a time of the form YYYY-MM-DD HH:MM:SS: " + args.positional()[0]);
  }
  platform::Time64 instant = 0;
  error = PlaceLocalTime(time, WholeSeconds(offsetNs), args.positional()[0], instant);
  if (!error.empty()) return Fail(error);
  // BPC's time is that of the second carrying symbol 1, the frame's second 1.
  const platform::Time64 start = station->localTime ? instant - 1 : FloorTo(instant, station->frameSeconds);
  StationFrame frame{};
  station->encode(start, frame);
  std::printf("%s\n", StationFrameText(*station, frame).c_str());
  return 0;
}

}  // namespace cli
