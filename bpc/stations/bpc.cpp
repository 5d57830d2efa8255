// BPC (China): 20-second frames from second 0, 20 or 40, carrying the
// computer's local time of the frame's second 1.
#include "bpc/bpc_frame.h"
#include "bpc/station.h"

namespace {
constexpr std::uint8_t kReferenceSecond = 4;  // index of the shape with no silence
}

void EncodeBpcStationFrame(platform::Time64 start, StationFrame& frame) {
  const platform::LocalTime t = platform::ToLocalTime(start + 1);
  BpcFrame symbols{};
  EncodeBpcFrame(t.year, t.month, t.day, t.weekday, static_cast<unsigned>(t.hour), t.minute, t.second, symbols);
  frame = {};
  frame[0] = kReferenceSecond;
  for (std::size_t i = 1; i < symbols.size(); ++i) frame[i] = symbols[i];
}
