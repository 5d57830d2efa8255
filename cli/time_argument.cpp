#include "cli/time_argument.h"

namespace cli {
namespace {

bool Digits(std::string_view text, size_t at, size_t count, int& value) {
  value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

bool ParseCivilTime(std::string_view text, std::chrono::local_seconds& out) {
  using namespace std::chrono;
  // YYYY-MM-DD HH:MM:SS
  // 0123456789012345678
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':') {
    return false;
  }
  int y, mo, d, h, mi, s;
  if (!Digits(text, 0, 4, y) || !Digits(text, 5, 2, mo) || !Digits(text, 8, 2, d) || !Digits(text, 11, 2, h) ||
      !Digits(text, 14, 2, mi) || !Digits(text, 17, 2, s)) {
    return false;
  }
  year_month_day date{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
  if (!date.ok() || h > 23 || mi > 59 || s > 59) return false;
  out = local_days{date} + hours{h} + minutes{mi} + seconds{s};
  return true;
}

std::string PlaceLocalTime(std::chrono::local_seconds time, std::int64_t offsetSeconds, std::string_view text,
                           platform::Time64& out) {
  using namespace std::chrono;
  const std::string beforeEpoch = "before 1970-01-01 00:00 UTC, where the calendar begins: " + std::string(text);
  // Local seconds count on the calendar as a clock without summer time does.
  const platform::CivilTime f = platform::CivilTimeOf(time.time_since_epoch().count());
  if (!platform::BuildLocalTime(f.year, f.month, f.day, f.hour, f.minute, f.second, out)) {
    // No zone is a day off UTC: a later local time is no instant before 1970.
    const bool early = time < local_days{year{1970} / January / 2};
    return early ? beforeEpoch : "no such local time here: " + std::string(text);
  }
  // The zone moves a skipped time elsewhere; that is not the time asked for.
  const platform::CivilTime back = platform::ToLocalTime(out);
  if (back.year != f.year || back.month != f.month || back.day != f.day || back.hour != f.hour ||
      back.minute != f.minute || back.second != f.second) {
    return "no such local time here: " + std::string(text);
  }
  out += offsetSeconds;
  return out < 0 ? "moved by the offset, " + beforeEpoch : "";
}

}  // namespace cli
