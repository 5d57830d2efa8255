#include "cli/signal_options.h"

#include <cmath>

#include "signal/station_audio.h"
#include "signal/transmit_mode.h"

namespace cli {

namespace {

// A plain decimal: an optional sign, digits, an optional fraction; read
// the same in every locale.
bool ParsePpm(const std::string& text, double& ppm) {
  std::size_t i = text.size() > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  double value = 0, scale = 1;  // both whole numbers, so exact
  int digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9' && digits < 12) {
      if (point) scale *= 10;
      value = value * 10 + (c - '0');
      ++digits;
    } else {
      return false;
    }
  }
  if (digits == 0) return false;
  ppm = (text[0] == '-' ? -value : value) / scale;
  return std::fabs(ppm) <= kMaxSampleClockPpm;
}

}  // namespace

bool ParseSignalOptions(const Args& args, const Station& station, SignalOptions& out, std::string& error) {
  out = {};
  if (std::optional<std::string> rateText = args.Value("--rate")) {
    long long rate = 0;
    if (!ParseInt(*rateText, rate) || rate < 1 || rate > kMaxSampleRate || !IsTransmitRate(static_cast<unsigned>(rate))) {
      error = "unsupported rate " + *rateText + " (use " + SampleRateChoices(", ", " or ") + ")";
      return false;
    }
    out.rate = static_cast<unsigned>(rate);
  }
  out.carrier = args.Flag("--carrier");
  if (out.carrier && !RateCarries(out.rate, station.carrierHz)) {
    std::string fits;
    for (unsigned r : kSampleRates) {
      if (RateCarries(r, station.carrierHz)) fits += (fits.empty() ? "" : ", ") + std::to_string(r);
    }
    error = std::string("--carrier: ") + station.option + "'s carrier of " +
            std::to_string(static_cast<long>(station.carrierHz)) + " Hz needs a rate above twice it (" + fits +
            "), not " + std::to_string(out.rate);
    return false;
  }
  if (std::optional<std::string> ppmText = args.Value("--sample-clock-ppm")) {
    if (!ParsePpm(*ppmText, out.sampleClockPpm)) {
      error = "--sample-clock-ppm needs a number from -1000 to 1000: " + *ppmText;
      return false;
    }
  }
  return true;
}

std::string SignalOptionsUsage() {
  return "[--rate " + SampleRateChoices("|", "|") + "] [--carrier] [--sample-clock-ppm P]";
}

}  // namespace cli
