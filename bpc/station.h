// The time stations the transmitter can imitate. A station is one row of
// the table in station_table.cpp (its names, carrier, tone, frame length and
// the shapes of its seconds) plus its encoder, in a file of its own under
// stations/, which turns an instant into the symbols of the frame on the air.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/local_time.h"

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
  const char* name;       // as the station list shows it (GBK): "BPC", "DCF77"
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
  StationEncoder encode;
  const char* timeSent;  // the time the frames carry, for the station listing
};

inline constexpr int kStationCount = 6;
// BPC first: the station chosen when nothing else is said.
extern const Station kStations[kStationCount];

// The station with that command-line name, in any case, or null.
const Station* FindStation(std::string_view option);

// Each station's encoder, in its own file under stations/.
void EncodeBpcStationFrame(platform::Time64 start, StationFrame& frame);
void EncodeJjyFrame(platform::Time64 start, StationFrame& frame);
void EncodeWwvbFrame(platform::Time64 start, StationFrame& frame);
void EncodeDcf77Frame(platform::Time64 start, StationFrame& frame);
void EncodeMsfFrame(platform::Time64 start, StationFrame& frame);
