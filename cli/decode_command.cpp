// tempiola-cli decode [--station NAME] [--tone HZ] FILE: reads the frames of
// a time station from a WAV recording (this program's output, or a real
// station through a receiver or SDR) and prints one line for each.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "bpc/decode/decoder.h"
#include "cli/cli.h"
#include "cli/station_option.h"
#include "cli/wav_reader.h"

namespace cli {

namespace {

std::string DecodeUsage() { return "decode [--station " + StationChoices() + "] [--tone HZ] FILE.wav|-"; }

const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// One frame: where its minute (BPC: the frame) begins, the station, and the
// time as the watch reads it, or why it carries none.
std::string FrameLine(const decode::Decoding& d, const decode::DecodedFrame& f) {
  char line[256];
  const decode::CarriedTime& t = f.time;
  if (!f.isTime) {
    std::snprintf(line, sizeof line, "%.3f %s no time: %s", f.beginsS, d.stationName, t.problem.c_str());
    return line;
  }
  char when[32];
  if (*t.zone == '\0') {
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  } else {
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d %s", t.year, t.month, t.day, t.hour, t.minute, t.zone);
  }
  std::snprintf(line, sizeof line, "%.3f %s %s %s summer=%s announce=%s parity=%s", f.beginsS, d.stationName, when,
                t.weekday >= 0 ? kWeekdays[t.weekday] : "-", t.summer < 0 ? "-" : t.summer ? "yes" : "no",
                t.announce.empty() ? "-" : t.announce.c_str(), t.parity ? "ok" : "none");
  return line;
}

}  // namespace

int RunDecode(int argc, char** argv, int first) {
  Args args;
  std::string error;
  if (!args.Parse(argc, argv, first, {{"--station", "--tone"}, {}}, error)) return Fail(error);
  if (args.WantsHelp()) {
    std::printf("usage: tempiola-cli %s\n"
                "Reads a time station's frames from a WAV file (- for standard input): 8, 16,\n"
                "24 or 32-bit PCM or floats, the first channel, 4000 to 192000 Hz. The signal is\n"
                "an amplitude-keyed tone, as this program sends it or as a receiver in CW or USB\n"
                "mode hears a station; without --tone it is found, without --station the station\n"
                "is told from its seconds. One line a frame: where the minute it carries begins\n"
                "(BPC: the frame), in seconds from the start, the station, the time as the watch\n"
                "reads it (BPC's as it stands), the weekday, summer time, the announcement bits\n"
                "and the parities; or \"no time:\" and why. Exit 0 when a frame carried a time,\n"
                "1 when none did.\n",
                DecodeUsage().c_str());
    return 0;
  }
  if (args.positional().size() != 1) return Usage(DecodeUsage());
  const Station* station = nullptr;
  if (args.Value("--station")) {
    station = StationOption(args, error);
    if (station == nullptr) return Fail(error);
  }
  double toneHz = 0;
  if (std::optional<std::string> tone = args.Value("--tone")) {
    const char* end = tone->data() + tone->size();
    const auto parsed = std::from_chars(tone->data(), end, toneHz);
    if (parsed.ec != std::errc() || parsed.ptr != end || !(toneHz >= 100 && toneHz <= 96000)) {
      return Fail("--tone needs a frequency from 100 to 96000 Hz: " + *tone);
    }
  }
  std::vector<unsigned char> bytes;
  if (!ReadInput(args.positional()[0], bytes, error)) return Fail(error);
  WavSound sound;
  if (!ParseWav(bytes.data(), bytes.size(), sound, error)) return Fail(args.positional()[0] + ": " + error);
  bytes = {};
  if (toneHz * 2 >= sound.rate) return Fail("--tone lies above the file's limit of half its rate");
  const decode::Decoding d = decode::Decode(sound.samples.data(), sound.samples.size(), sound.rate, station, toneHz);
  int times = 0;
  for (const decode::DecodedFrame& f : d.frames) {
    std::printf("%s\n", FrameLine(d, f).c_str());
    times += f.isTime ? 1 : 0;
  }
  std::fflush(stdout);
  if (times == 0) return FailRun("no frame decoded: " + d.failure);
  return 0;
}

}  // namespace cli
