// tempiola-cli listen [--station NAME] [--tone HZ] [--minutes M]: reads a
// time station's frames live from the default sound input (a line-in, a
// loopback, a receiver's audio) and prints each as it is whole, with where
// its minute mark lay against the system clock.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/frame_reading.h"
#include "cli/station_option.h"
#include "platform/event.h"
#include "platform/interrupt.h"
#include "platform/wave_in.h"
#include "signal/decode/live_decoder.h"

namespace cli {

namespace {

std::string ListenUsage() { return "listen [--station " + StationChoices() + "] [--tone HZ] [--minutes M]"; }

constexpr long long kMaxMinutes = 525600;  // a year
// The rates asked of the input, in turn: each holds every tone of the
// program's (up to 20 kHz).
constexpr unsigned kRates[] = {48000, 44100, 96000};
// An input that has delivered nothing for this long is said to stand still.
constexpr auto kStillAfter = std::chrono::seconds(5);
constexpr int kPollMs = 250;

std::string OpenFailure(unsigned code) {
  switch (code) {
    case platform::MMSYSERR_BADDEVICEID:
      return "there is no sound input device";
    case platform::MMSYSERR_ALLOCATED:
      return "the sound input device is in use";
    case platform::WAVERR_BADFORMAT:
      return "the sound input device takes none of 48000, 44100 and 96000 Hz mono";
    case platform::MMSYSERR_NODRIVER:
      return "no sound system answers";
    default:
      return "the sound input device cannot be opened (error " + std::to_string(code) + ")";
  }
}

int Listen(const Station* station, double toneHz, long long minutes) {
  const platform::Event* interrupt = platform::InterruptEvent();
  platform::EventHandle ready = platform::CreateEvent();
  if (interrupt == nullptr || !ready) return FailRun("out of system resources");
  std::unique_ptr<platform::WaveInDevice> input = platform::CreateWaveInDevice();
  unsigned rate = 0, code = platform::MMSYSERR_ERROR;
  for (unsigned r : kRates) {
    code = input->Open(r, ready);
    if (code == platform::MMSYSERR_NOERROR) {
      rate = r;
      break;
    }
    if (code != platform::WAVERR_BADFORMAT) break;
  }
  if (rate == 0) return FailRun(OpenFailure(code));
  Report("listening to the default sound input at " + std::to_string(rate) + " Hz; Ctrl-C ends");

  decode::LiveDecoder decoder(rate, station, toneHz);
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::minutes(minutes > 0 ? minutes : kMaxMinutes);
  Clock::time_point lastHeard = Clock::now();
  bool saidStill = false;
  int times = 0;
  std::vector<platform::CapturedBlock> blocks;
  const platform::Event* waitSet[] = {interrupt, ready.get()};
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) break;
    const int which = platform::WaitForEvents(waitSet, 2, left < kPollMs ? static_cast<int>(left) : kPollMs);
    if (which == 0 || which == platform::kWaitFailed) break;
    if (input->StreamError() != 0) {
      input->Close();
      return FailRun("the sound input has gone away");
    }
    blocks.clear();
    input->Take(blocks);
    if (blocks.empty()) {
      if (!saidStill && Clock::now() - lastHeard >= kStillAfter) {
        Report("the sound input has delivered nothing for " + std::to_string(kStillAfter.count()) + " s");
        saidStill = true;
      }
      continue;
    }
    lastHeard = Clock::now();
    saidStill = false;
    for (const platform::CapturedBlock& b : blocks) {
      if (const double lost = decoder.Add(b.samples.data(), b.samples.size(), b.firstNs); lost > 0) {
        char text[112];
        std::snprintf(text, sizeof text, "the sound input jumped %.1f s (samples lost, or its timing moved): reading afresh",
                      lost);
        Report(text);
      }
    }
    for (const decode::HeardFrame& h : decoder.Poll()) {
      std::printf("%s mark=%+.1fms\n", FrameLine(h.stationName, h.frame).c_str(), h.markOffsetMs);
      times += h.frame.isTime ? 1 : 0;
    }
    std::fflush(stdout);
  }
  input->Close();
  if (times == 0) return FailRun("no frame decoded: " + decoder.failure());
  return 0;
}

constexpr const char* kHelp =
    "Reads a time station's frames live from the default sound input (a line-in,\n"
    "a loopback, a receiver's audio), as decode reads them from a file, and prints\n"
    "each frame when it is whole, as decode does, with mark=: how far its minute\n"
    "mark (BPC: the frame's start) lay from the system clock's, in milliseconds.\n"
    "It runs for M minutes, or until Ctrl-C. Exit 0 when a frame carried a time,\n"
    "1 when none did or the input failed.\n";

}  // namespace

int RunListen(int argc, char** argv, int first) {
  Args args;
  const OptionSpec options{{"--station", "--tone", "--minutes"}, {}};
  if (auto done = ParseCommand(argc, argv, first, options, ListenUsage(), kHelp, args)) return *done;
  std::string error;
  if (!args.positional().empty()) return Usage(ListenUsage());
  const Station* station = nullptr;
  double toneHz = 0;
  if (!ReadingOptions(args, station, toneHz, error)) return Fail(error);
  long long minutes = 0;
  if (std::optional<std::string> text = args.Value("--minutes")) {
    if (!ParseInt(*text, minutes) || minutes < 1 || minutes > kMaxMinutes) {
      return Fail("--minutes needs a whole number from 1 to " + std::to_string(kMaxMinutes) + ": " + *text);
    }
  }
  return Listen(station, toneHz, minutes);
}

}  // namespace cli
