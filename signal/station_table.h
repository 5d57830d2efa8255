// The stations, one row each, in the order of the station list; BPC first,
// the station chosen when nothing else is said. A new station is its
// encoder, in a file of its own under stations/ and declared here, and its
// row; the list, the station tip, the command line's names and the
// `stations` listing are all read from the rows.
#pragma once

#include <iterator>
#include <string_view>

#include "res/strings.h"
#include "signal/station.h"

// Each station's encoder, in its own file under stations/.
void EncodeBpcStationFrame(platform::Time64 start, StationFrame& frame);
void EncodeJjyFrame(platform::Time64 start, StationFrame& frame);
void EncodeWwvbFrame(platform::Time64 start, StationFrame& frame);
void EncodeDcf77Frame(platform::Time64 start, StationFrame& frame);
void EncodeMsfFrame(platform::Time64 start, StationFrame& frame);

namespace shape {
// Silent part, tone part, silent part, tone part (ms).
constexpr SymbolShape Off(std::uint16_t ms) { return {{ms, static_cast<std::uint16_t>(1000 - ms), 0, 0}}; }
constexpr SymbolShape On(std::uint16_t ms) { return {{0, ms, static_cast<std::uint16_t>(1000 - ms), 0}}; }
inline constexpr SymbolShape kMsf01 = {{100, 100, 100, 700}};
}  // namespace shape

// Symbol indices, as the encoders write them:
//   BPC    0..3 the base-4 symbol, 4 the frame's reference second
//   JJY, WWVB, DCF77   0 and 1 the bit, 2 the marker second
//   MSF    0 the minute marker, 1 + A + 2B for the bits A and B of a second
inline constexpr Station kStations[] = {
    {"BPC", "BPC", &res::kRegionChina, "bpc", 68500.0, 13700.0, 20, true,
     {shape::Off(100), shape::Off(200), shape::Off(300), shape::Off(400),
      shape::Off(0)},
     {"0", "1", "2", "3", "0"}, ",", EncodeBpcStationFrame, "local time of the computer"},
    {"JJY40", "JJY", &res::kRegionJapan, "jjy40", 40000.0, 40000.0 / 3, 60, false,
     {shape::On(800), shape::On(500), shape::On(200)},
     {"0", "1", "M"}, nullptr, EncodeJjyFrame, "JST (UTC+9)"},
    {"JJY60", "JJY", &res::kRegionJapan, "jjy60", 60000.0, 20000.0, 60, false,
     {shape::On(800), shape::On(500), shape::On(200)},
     {"0", "1", "M"}, nullptr, EncodeJjyFrame, "JST (UTC+9)"},
    {"WWVB", "WWVB", &res::kRegionNorthAmerica, "wwvb", 60000.0, 20000.0, 60, false,
     {shape::Off(200), shape::Off(500), shape::Off(800)},
     {"0", "1", "M"}, nullptr, EncodeWwvbFrame, "UTC, with the US daylight-saving bits"},
    {"DCF77", "DCF77", &res::kRegionGermany, "dcf77", 77500.0, 15500.0, 60, false,
     {shape::Off(100), shape::Off(200), shape::Off(0)},
     {"0", "1", "M"}, nullptr, EncodeDcf77Frame, "CET/CEST (German time)"},
    {"MSF", "MSF", &res::kRegionUk, "msf", 60000.0, 20000.0, 60, false,
     {shape::Off(500), shape::Off(100), shape::Off(200), shape::kMsf01,
      shape::Off(300)},
     {"M", "00", "10", "01", "11"}, nullptr, EncodeMsfFrame, "GMT/BST (UK time)"},
};
inline constexpr int kStationCount = static_cast<int>(std::size(kStations));

// The station with that command-line name, in any case, or null.
const Station* FindStation(std::string_view option);
