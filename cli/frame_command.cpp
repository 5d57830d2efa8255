// tempiola-cli frame "YYYY-MM-DD HH:MM:SS": the 20 symbols of the BPC frame
// for that local time, taken as the second that carries symbol 1.
#include <cstdio>
#include <string>

#include "bpc/bpc_frame.h"
#include "cli/civil_time.h"
#include "cli/cli.h"

namespace cli {

namespace {
constexpr char kFrameUsage[] = "frame \"YYYY-MM-DD HH:MM:SS\"";
}

int RunFrame(int argc, char** argv, int first) {
  Args args;
  std::string error;
  if (!args.Parse(argc, argv, first, {}, error)) return Fail(error);
  if (args.WantsHelp()) {
    std::printf("usage: tempiola-cli %s\n"
                "Prints the BPC frame for that local time (second 1, 21 or 41 carries the frame\n"
                "position) as 20 symbols separated by commas.\n",
                kFrameUsage);
    return 0;
  }
  if (args.positional().size() != 1) return Usage(kFrameUsage);

  std::chrono::local_seconds time;
  if (!ParseCivilTime(args.positional()[0], time)) {
    return Fail("not a time of the form YYYY-MM-DD HH:MM:SS: " + args.positional()[0]);
  }
  CivilFields f = BreakDown(time);
  BpcFrame frame{};
  EncodeBpcFrame(f.year, f.month, f.day, f.weekday, static_cast<unsigned>(f.hour), f.minute, f.second, frame);

  char line[2 * 20 + 1];
  int used = 0;
  for (size_t i = 0; i < frame.size(); ++i) {
    used += std::snprintf(line + used, sizeof line - used, i == 0 ? "%d" : ",%d", frame[i]);
  }
  std::printf("%s\n", line);
  return 0;
}

}  // namespace cli
