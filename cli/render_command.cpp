// tempiola-cli render --start "YYYY-MM-DD HH:MM:SS" --frames N [--rate R] FILE.wav:
// N consecutive frames as the transmitter sends them from that frame
// boundary, as a 16-bit mono PCM WAV file.
#include <cstdio>
#include <string>
#include <vector>

#include "bpc/frame_audio.h"
#include "cli/civil_time.h"
#include "cli/cli.h"
#include "cli/wav_writer.h"
#include "platform/file.h"

namespace cli {

namespace {

constexpr char kRenderUsage[] =
    "render --start \"YYYY-MM-DD HH:MM:SS\" --frames N [--rate 44100|48000|96000] FILE.wav";

int CannotWrite(const std::string& path, int error) {
  return FailRun("cannot write " + path + ": " + platform::ErrorText(error));
}

}  // namespace

int RunRender(int argc, char** argv, int first) {
  Args args;
  std::string error;
  if (!args.Parse(argc, argv, first, {{"--start", "--frames", "--rate"}, {}}, error)) return Fail(error);
  if (args.WantsHelp()) {
    std::printf("usage: tempiola-cli %s\n"
                "Writes N consecutive BPC frames starting at the given local frame boundary\n"
                "(second 0, 20 or 40); frame k carries the time start + 20k + 1 s. Default rate 44100.\n",
                kRenderUsage);
    return 0;
  }
  std::optional<std::string> startText = args.Value("--start");
  std::optional<std::string> framesText = args.Value("--frames");
  if (args.positional().size() != 1 || !startText || !framesText) return Usage(kRenderUsage);
  const std::string& path = args.positional()[0];

  std::chrono::local_seconds start;
  if (!ParseCivilTime(*startText, start)) {
    return Fail("not a time of the form YYYY-MM-DD HH:MM:SS: " + *startText);
  }
  if (BreakDown(start).second % 20 != 0) {
    return Fail("the start must be a frame boundary (second 0, 20 or 40): " + *startText);
  }

  long long rate = 44100;
  if (std::optional<std::string> rateText = args.Value("--rate")) {
    if (!ParseInt(*rateText, rate) || rate < 0 || rate > 1000000 || !IsTransmitRate(static_cast<unsigned>(rate))) {
      return Fail("unsupported rate " + *rateText + " (use 44100, 48000 or 96000)");
    }
  }
  const auto r = static_cast<unsigned>(rate);

  // The WAV sizes are 32-bit.
  const long long maxFrames = static_cast<long long>(WavWriter::kMaxDataBytes / FrameBytes(r));
  long long frames = 0;
  if (!ParseInt(*framesText, frames) || frames < 1) {
    return Fail("the number of frames must be a whole number of at least 1: " + *framesText);
  }
  if (frames > maxFrames) {
    return Fail("at most " + std::to_string(maxFrames) + " frames fit in a WAV file at " + std::to_string(r) + " Hz");
  }

  WavWriter wav(path);
  if (!wav.Open(r)) return CannotWrite(path, wav.LastError());
  std::vector<std::int16_t> samples(FrameSamples(r));
  for (long long k = 0; k < frames; ++k) {
    CivilFields t = BreakDown(start + std::chrono::seconds(20 * k + 1));
    BuildFrameAudio(t.year, t.month, t.day, t.weekday, static_cast<unsigned>(t.hour), t.minute, t.second, r,
                    samples.data());
    if (!wav.Write(samples.data(), samples.size())) return CannotWrite(path, wav.LastError());
  }
  if (!wav.Finish()) return CannotWrite(path, wav.LastError());
  return 0;
}

}  // namespace cli
