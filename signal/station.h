// What a time station is to the transmitter. The stations themselves are
// the rows of the table in station_table.h, each with its encoder in a file
// of its own under stations/, which turns an instant into the symbols of
// the frame on the air.
#pragma once

#include <array>
#include <cstdint>

#include "platform/local_time.h"
#include "res/language.h"

// a rounded down to a multiple of b (> 0), below zero too.
constexpr platform::Time64 FloorTo(platform::Time64 a, platform::Time64 b) {
  return (a / b - (a % b < 0 ? 1 : 0)) * b;
}

// The shape of one second: silent and tone parts in turn, silent first,
// each in milliseconds, adding up to 1000 (a part may be 0 long).
struct SymbolShape {
  std::uint16_t ms[4];
};

inline constexpr unsigned kMaxFrameSeconds = 60;
inline constexpr int kMaxStationSymbols = 5;

// The frame on the air: for each second, the index of its symbol in the
// station's shapes.
using StationFrame = std::array<std::uint8_t, kMaxFrameSeconds>;

// Fills frame with the frame that begins at `start`, a frame boundary
// (seconds since the epoch, as the system clock counts them).
using StationEncoder = void (*)(platform::Time64 start, StationFrame& frame);

struct Station {
  const char* name;         // as the station list shows it, the station's own: "BPC", "DCF77"
  const char* tipName;      // as the station tip names it, one for a family of rows: "JJY"
  const res::Text* region;  // where it stands, as the station tip says after the name
  const char* option;     // the command line's name: "bpc", "dcf77"
  double carrierHz;
  double toneHz;          // the tone played; a harmonic of it falls on the carrier
  unsigned frameSeconds;  // 20 (BPC) or 60, frames begin on multiples of it within the minute
  // True where frames carry the computer's local time and begin on its
  // seconds (BPC); the others keep UTC's minutes.
  bool localTime;
  SymbolShape shapes[kMaxStationSymbols];
  // How each symbol is written when a frame is printed, as in the stations'
  // own documentation ("0", "1", "M"; MSF "M", then "00", "10", "01", "11"
  // for 1 + A + 2B).
  const char* symbolText[kMaxStationSymbols];
  // Between the symbols where a frame is printed as one list (BPC: ","),
  // or null for the rows of ten.
  const char* listSeparator;
  StationEncoder encode;
  const char* timeSent;  // the time the frames carry, for the station listing
};
