// The stations, one row each. A new station is a row here and its encoder
// in a file of its own under stations/ (declared in station.h).

#include <algorithm>
#include <cctype>

#include "bpc/station.h"
#include "res/strings.h"

// Silent part, tone part, silent part, tone part (ms).
namespace {
constexpr SymbolShape Off(std::uint16_t ms) { return {{ms, static_cast<std::uint16_t>(1000 - ms), 0, 0}}; }
constexpr SymbolShape On(std::uint16_t ms) { return {{0, ms, static_cast<std::uint16_t>(1000 - ms), 0}}; }
constexpr SymbolShape kMsf01 = {{100, 100, 100, 700}};
}  // namespace

// Symbol indices, as the encoders write them:
//   BPC    0..3 the base-4 symbol, 4 the frame's reference second
//   JJY, WWVB, DCF77   0 and 1 the bit, 2 the marker second
//   MSF    0 the minute marker, 1 + A + 2B for the bits A and B of a second
const Station kStations[kStationCount] = {
    {res::kStationBpc, "bpc", 68500.0, 13700.0, 20, true,
     {Off(100), Off(200), Off(300), Off(400), Off(0)}, {"0", "1", "2", "3", "0"},
     EncodeBpcStationFrame, "local time of the computer"},
    {res::kStationJjy40, "jjy40", 40000.0, 40000.0 / 3, 60, false,
     {On(800), On(500), On(200)}, {"0", "1", "M"},
     EncodeJjyFrame, "JST (UTC+9)"},
    {res::kStationJjy60, "jjy60", 60000.0, 20000.0, 60, false,
     {On(800), On(500), On(200)}, {"0", "1", "M"},
     EncodeJjyFrame, "JST (UTC+9)"},
    {res::kStationWwvb, "wwvb", 60000.0, 20000.0, 60, false,
     {Off(200), Off(500), Off(800)}, {"0", "1", "M"},
     EncodeWwvbFrame, "UTC, with the US daylight-saving bits"},
    {res::kStationDcf77, "dcf77", 77500.0, 15500.0, 60, false,
     {Off(100), Off(200), Off(0)}, {"0", "1", "M"},
     EncodeDcf77Frame, "CET/CEST (German time)"},
    {res::kStationMsf, "msf", 60000.0, 20000.0, 60, false,
     {Off(500), Off(100), Off(200), kMsf01, Off(300)}, {"M", "00", "10", "01", "11"},
     EncodeMsfFrame, "GMT/BST (UK time)"},
};

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
