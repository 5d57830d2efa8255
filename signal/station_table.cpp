#include "signal/station_table.h"

#include <algorithm>
#include <cctype>

const Station* FindStation(std::string_view option) {
  for (const Station& s : kStations) {
    const std::string_view name = s.option;
    if (option.size() == name.size() && std::equal(option.begin(), option.end(), name.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == b;
        })) {
      return &s;
    }
  }
  return nullptr;
}
