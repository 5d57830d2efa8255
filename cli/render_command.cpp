// tempiola-cli render [--station NAME] --start "YYYY-MM-DD HH:MM:SS" --frames N
// [--rate R] [--carrier] [--sample-clock-ppm P] FILE.wav: N consecutive
// frames of a station as the transmitter sends them from that frame
// boundary, as a 16-bit mono PCM WAV file.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/time_argument.h"
#include "cli/cli.h"
#include "cli/offset_option.h"
#include "cli/signal_options.h"
#include "cli/station_option.h"
#include "cli/wav_writer.h"
#include "platform/file.h"
#include "signal/frame_audio.h"
#include "signal/station_audio.h"

namespace cli {

namespace {

std::string RenderUsage() {
  return "render [--station " + StationChoices() +
         "] --start \"YYYY-MM-DD HH:MM:SS\" --frames N " + SignalOptionsUsage() + " [--offset SECONDS] FILE.wav";
}

int CannotWrite(const std::string& path, int error) {
  return FailRun("cannot write " + path + ": " + platform::ErrorText(error));
}

constexpr const char* kHelp =
    "Writes N consecutive frames of the station (BPC by default) as they are on the\n"
    "air from the given local frame boundary on. BPC: second 0, 20 or 40; frame k\n"
    "carries the local time at start + 20k + 1 s. Other stations: second 0 of a minute of the\n"
    "computer's time zone; frame k is the one on the air from start + 60k s. Default\n"
    "rate 44100. --offset moves the time sent by whole seconds (at most a day either\n"
    "way): the start plus the offset must then be the frame boundary. The start is\n"
    "a local time of the computer; TZ=UTC0 makes it UTC. --carrier writes the\n"
    "carrier itself (68 500, 40 000, 60 000 or 77 500 Hz) instead of the tone whose\n"
    "harmonic falls on it, at a rate above twice the carrier. --sample-clock-ppm P\n"
    "makes the sound for a device whose sample clock runs P ppm fast (negative:\n"
    "slow), at most 1000 either way, so that it plays on frequency and on time.\n";

}  // namespace

int RunRender(int argc, char** argv, int first) {
  Args args;
  const OptionSpec options{{"--station", "--start", "--frames", "--rate", "--offset", "--sample-clock-ppm"},
                           {"--carrier"}};
  if (auto done = ParseCommand(argc, argv, first, options, RenderUsage(), kHelp, args)) return *done;
  std::string error;
  const Station* station = StationOption(args, error);
  if (station == nullptr) return Fail(error);
  const bool bpc = station->localTime;
  std::int64_t offsetNs = 0;
  if (!OffsetOption(args, offsetNs, error)) return Fail(error);
  // A boundary is a whole second.
  if (offsetNs % kNanosecondsPerSecond != 0) return Fail("render's --offset must be whole seconds: " + *args.Value("--offset"));
  std::optional<std::string> startText = args.Value("--start");
  std::optional<std::string> framesText = args.Value("--frames");
  if (args.positional().size() != 1 || !startText || !framesText) return Usage(RenderUsage());
  const std::string& path = args.positional()[0];

  std::chrono::local_seconds start;
  if (!ParseCivilTime(*startText, start)) {
    return Fail("not a time of the form YYYY-MM-DD HH:MM:SS: " + *startText);
  }
  const std::string shifted = offsetNs == 0 ? "" : " with the offset";
  platform::Time64 startInstant = 0;
  error = PlaceLocalTime(start, WholeSeconds(offsetNs), *startText, startInstant);
  if (!error.empty()) return Fail(error);
  if (bpc && platform::ToLocalTime(startInstant).second % 20 != 0) {
    return Fail("the start" + shifted + " must be a frame boundary (second 0, 20 or 40): " + *startText);
  }
  // A boundary of UTC's minutes, also where the zone is off them.
  if (!bpc && startInstant % station->frameSeconds != 0) {
    return Fail("the start" + shifted + " must be a frame boundary of " + station->option + " (second 0): " +
                *startText);
  }

  SignalOptions signal;
  if (!ParseSignalOptions(args, *station, signal, error)) return Fail(error);
  const unsigned r = signal.rate;
  const double frequency = SignalFrequency(*station, signal.carrier);

  // The WAV sizes are 32-bit.
  const std::size_t pieces = station->frameSeconds / kPieceSeconds;
  const std::size_t pieceSamples =
      signal.sampleClockPpm == 0 ? FrameSamples(r) : ClockedSamplesBound(kPieceSeconds, r);
  const long long maxFrames = static_cast<long long>(WavWriter::kMaxDataBytes / (2 * pieceSamples * pieces));
  long long frames = 0;
  if (!ParseInt(*framesText, frames) || frames < 1) {
    return Fail("the number of frames must be a whole number of at least 1: " + *framesText);
  }
  if (frames > maxFrames) {
    return Fail("at most " + std::to_string(maxFrames) + " frames fit in a WAV file at " + std::to_string(r) + " Hz");
  }

  WavWriter wav(path);
  if (!wav.Open(r)) return CannotWrite(path, wav.LastError());
  std::vector<std::int16_t> samples(pieceSamples);
  ClockedSynthesis clocked;
  clocked.ratio = 1 + signal.sampleClockPpm / 1e6;
  for (long long k = 0; k < frames; ++k) {
    for (std::size_t piece = 0; piece < pieces; ++piece) {
      std::size_t written = FrameSamples(r);
      const platform::Time64 frameStart = startInstant + k * station->frameSeconds;
      const auto firstSecond = static_cast<unsigned>(piece * kPieceSeconds);
      if (signal.sampleClockPpm == 0) {
        BuildStationAudio(*station, frequency, frameStart, firstSecond, kPieceSeconds, r, samples.data());
      } else {
        written = BuildClockedStationAudio(*station, frequency, frameStart, firstSecond, kPieceSeconds, r, clocked,
                                           samples.data());
      }
      if (!wav.Write(samples.data(), written)) return CannotWrite(path, wav.LastError());
    }
  }
  if (!wav.Finish()) return CannotWrite(path, wav.LastError());
  return 0;
}

}  // namespace cli
