#include "platform/time_zone.h"

#include <cstddef>
#include <cstdlib>
#include <string_view>

namespace platform {
namespace {

// The runtime's form: tzn[+|-]hh[:mm[:ss]][dzn]. Of the summer-time name it
// keeps three letters and only its presence counts (the US rules then).
bool RuntimeReads(std::string_view tz) {
  std::size_t i = 0;
  const auto run = [&](bool (*of)(char)) {
    const std::size_t start = i;
    while (i < tz.size() && of(tz[i])) ++i;
    return i - start;
  };
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (run(letter) != 3) return false;
  if (i < tz.size() && (tz[i] == '+' || tz[i] == '-')) ++i;
  for (int part = 0; part < 3; ++part) {
    const std::size_t n = run(digit);
    if (n < 1 || n > 2) return false;
    if (part == 2 || i == tz.size() || tz[i] != ':') break;
    ++i;
  }
  return i == tz.size() || (run(letter) >= 3 && i == tz.size());
}

}  // namespace

ZoneVariable TimeZoneVariable() {
  // An empty value counts as none, for the runtime too.
  const char* tz = std::getenv("TZ");
  if (tz == nullptr || *tz == '\0') return ZoneVariable::Unset;
  return RuntimeReads(tz) ? ZoneVariable::Read : ZoneVariable::Ignored;
}

}  // namespace platform
