#include "cli/station_option.h"
#include "signal/station_table.h"

namespace cli {

std::string StationChoices() {
  std::string choices;
  for (const Station& s : kStations) {
    if (!choices.empty()) choices += '|';
    choices += s.option;
  }
  return choices;
}

const Station* StationOption(const Args& args, std::string& error) {
  std::optional<std::string> name = args.Value("--station");
  if (!name) return &kStations[0];
  const Station* station = FindStation(*name);
  if (station == nullptr) error = "unknown station " + *name + " (use " + StationChoices() + ")";
  return station;
}

}  // namespace cli
