#include "cli/frame_reading.h"

#include <charconv>
#include <cstdio>

#include "cli/station_option.h"

namespace cli {

namespace {
const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
}  // namespace

bool ReadingOptions(const Args& args, const Station*& station, double& toneHz, std::string& error) {
  station = nullptr;
  if (args.Value("--station")) {
    station = StationOption(args, error);
    if (station == nullptr) return false;
  }
  toneHz = 0;
  std::optional<std::string> tone = args.Value("--tone");
  if (!tone) return true;
  const char* end = tone->data() + tone->size();
  const auto parsed = std::from_chars(tone->data(), end, toneHz);
  if (parsed.ec != std::errc() || parsed.ptr != end || !(toneHz >= 100 && toneHz <= 96000)) {
    error = "--tone needs a frequency from 100 to 96000 Hz: " + *tone;
    return false;
  }
  return true;
}

std::string FrameLine(const char* stationName, const decode::DecodedFrame& f) {
  char line[256];
  const decode::CarriedTime& t = f.time;
  if (!f.isTime) {
    std::snprintf(line, sizeof line, "%.3f %s no time: %s", f.beginsS, stationName, t.problem.c_str());
    return line;
  }
  char when[32];
  if (*t.zone == '\0') {
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  } else {
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d %s", t.year, t.month, t.day, t.hour, t.minute, t.zone);
  }
  std::snprintf(line, sizeof line, "%.3f %s %s %s summer=%s announce=%s parity=%s", f.beginsS, stationName, when,
                t.weekday >= 1 ? kWeekdays[t.weekday - 1] : "-", t.summer < 0 ? "-" : t.summer ? "yes" : "no",
                t.announce.empty() ? "-" : t.announce.c_str(), t.parity ? "ok" : "none");
  return line;
}

}  // namespace cli
