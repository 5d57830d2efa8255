// tempiola-cli decode [--station NAME] [--tone HZ] FILE: reads the frames of
// a time station from a WAV recording (this program's output, or a real
// station through a receiver or SDR) and prints one line for each.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/frame_reading.h"
#include "cli/station_option.h"
#include "cli/wav_reader.h"
#include "signal/decode/decoder.h"

namespace cli {

namespace {

std::string DecodeUsage() { return "decode [--station " + StationChoices() + "] [--tone HZ] FILE.wav|-"; }

constexpr const char* kHelp =
    "Reads a time station's frames from a WAV file (- for standard input): 8, 16,\n"
    "24 or 32-bit PCM or floats, the first channel, 4000 to 192000 Hz. The signal is\n"
    "an amplitude-keyed tone, as this program sends it or as a receiver in CW or USB\n"
    "mode hears a station; without --tone it is found, without --station the station\n"
    "is told from its seconds. One line a frame: where the minute it carries begins\n"
    "(BPC: the frame), in seconds from the start, the station, the time as the watch\n"
    "reads it (BPC's as it stands), the weekday, summer time, the announcement bits\n"
    "and the parities; or \"no time:\" and why. Exit 0 when a frame carried a time,\n"
    "1 when none did.\n";

}  // namespace

int RunDecode(int argc, char** argv, int first) {
  Args args;
  const OptionSpec options{{"--station", "--tone"}, {}};
  if (auto done = ParseCommand(argc, argv, first, options, DecodeUsage(), kHelp, args)) return *done;
  std::string error;
  if (args.positional().size() != 1) return Usage(DecodeUsage());
  const Station* station = nullptr;
  double toneHz = 0;
  if (!ReadingOptions(args, station, toneHz, error)) return Fail(error);
  std::vector<unsigned char> bytes;
  if (!ReadInput(args.positional()[0], bytes, error)) return Fail(error);
  WavSound sound;
  if (!ParseWav(bytes.data(), bytes.size(), sound, error)) return Fail(args.positional()[0] + ": " + error);
  bytes = {};
  if (toneHz * 2 >= sound.rate) return Fail("--tone lies above the file's limit of half its rate");
  const decode::Decoding d = decode::Decode(sound.samples.data(), sound.samples.size(), sound.rate, station, toneHz);
  int times = 0;
  for (const decode::DecodedFrame& f : d.frames) {
    std::printf("%s\n", FrameLine(d.stationName, f).c_str());
    times += f.isTime ? 1 : 0;
  }
  std::fflush(stdout);
  if (times == 0) return FailRun("no frame decoded: " + d.failure);
  return 0;
}

}  // namespace cli
