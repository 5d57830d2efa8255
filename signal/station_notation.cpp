#include "signal/station_notation.h"

#include <cstring>

std::string StationFrameText(const Station& station, const StationFrame& frame) {
  if (station.listSeparator != nullptr) {
    std::string out;
    for (unsigned i = 0; i < station.frameSeconds; ++i) {
      if (i > 0) out += station.listSeparator;
      out += frame[i] < kMaxStationSymbols ? station.symbolText[frame[i]] : "?";
    }
    return out;
  }
  std::size_t width = 1;
  for (const char* text : station.symbolText) {
    if (text != nullptr && std::strlen(text) > width) width = std::strlen(text);
  }
  std::string out;
  for (unsigned i = 0; i < station.frameSeconds; ++i) {
    if (i > 0) {
      if (i % 10 == 0) {
        out += width == 1 ? ' ' : '\n';
      } else if (width > 1) {
        out += ' ';
      }
    }
    const char* text = frame[i] < kMaxStationSymbols ? station.symbolText[frame[i]] : nullptr;
    std::string symbol = text != nullptr ? text : "?";
    if (width > 1) symbol.resize(width, ' ');
    out += symbol;
  }
  return out;
}
