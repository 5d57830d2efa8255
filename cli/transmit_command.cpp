// tempiola-cli transmit: the transmitter thread without a window. Each
// status is printed as the information log would show it; the run ends
// after the given minutes of transmission or on Ctrl-C.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>

#include "cli/cli.h"
#include "cli/ntp_query.h"
#include "cli/offset_option.h"
#include "cli/signal_options.h"
#include "cli/station_option.h"
#include "log/log_line.h"
#include "platform/event.h"
#include "platform/interrupt.h"
#include "platform/local_time.h"
#include "platform/wave_out.h"
#include "signal/time_base.h"
#include "signal/transmit_mode.h"
#include "signal/transmitter.h"
#include "signal/transmitter_status.h"

namespace cli {
namespace {

std::string TransmitUsage() {
  return "transmit [--station " + StationChoices() + "] --minutes M " + SignalOptionsUsage() +
         " [--ntp HOST [--port N]] [--offset SECONDS]";
}
constexpr long long kMaxMinutes = 525600;  // a year
constexpr int kExitDeviceFailure = 1;
// The thread answers a stop within about a second, even when the sound
// system hangs in the end of the stream. Stuck elsewhere in it (a start on
// a sound server that stopped answering), it is not waited for longer.
constexpr auto kStopAnswerTime = std::chrono::seconds(2);

// The thread's statuses, queued for the command's own loop (what the
// window's message queue does for the dialog).
class StatusQueue final : public TransmitterReports {
 public:
  struct Status {
    WPARAM status;
    LPARAM value;
  };

  bool Valid() const { return ready_.IsValid(); }
  const platform::Event& ready() const { return ready_; }

  void Report(TransmitterStatus status, LPARAM value) override {
    {
      std::lock_guard lock(mutex_);
      // The loop drains the queue at once; should it ever lag this far, the
      // oldest status gives way, as a full message ring does.
      if (count_ == kCapacity) {
        first_ = (first_ + 1) % kCapacity;
        --count_;
      }
      items_[(first_ + count_) % kCapacity] = {status, value};
      ++count_;
    }
    ready_.Set();
  }

  bool Take(Status& out) {
    std::lock_guard lock(mutex_);
    if (count_ == 0) return false;
    out = items_[first_];
    first_ = (first_ + 1) % kCapacity;
    --count_;
    return true;
  }

 private:
  static constexpr int kCapacity = 64;
  std::mutex mutex_;
  Status items_[kCapacity] = {};
  int first_ = 0;
  int count_ = 0;
  platform::Event ready_;
};

void PrintStatusLine(const TransmitterStatusReport& report) {
  platform::CivilTime now = platform::ToLocalTime(platform::CurrentTime());
  char line[128];
  FormatLogLine(line, now.hour, now.minute, now.second, report.text);
  if (report.box != nullptr) {
    PrintGbkError(line);
  } else {
    PrintGbk(line);
  }
}

// How fast the device's sample clock ran against the system clock, and the
// figure the tone and the seconds were made for last (none: the nominal
// rate). A figure no sound device reaches means the output stalled.
void PrintSampleClock(platform::WaveOutDevice& device, const double* corrected) {
  constexpr double kMaxClockPpm = 1000;
  char correction[96] = "not corrected";
  if (corrected != nullptr) {
    std::snprintf(correction, sizeof correction, "tone and seconds corrected for %+.1f ppm", *corrected);
  }
  platform::SampleClockReading clock;
  if (!device.SampleClockDrift(clock)) {
    if (corrected != nullptr) std::printf("sample clock not measured: %s\n", correction);
  } else if (clock.ppm > kMaxClockPpm || clock.ppm < -kMaxClockPpm) {
    std::printf("the sound output stalled: its samples fell %+.3f s off the system clock over %.0f s; %s\n",
                -clock.ppm * clock.seconds / 1e6, clock.seconds, correction);
  } else {
    std::printf("sample clock %+.1f ppm against the system clock (over %.0f s): %s\n", clock.ppm, clock.seconds,
                correction);
  }
  std::fflush(stdout);
}

int Transmit(long long minutes, const SignalOptions& signal, const Station& station, std::int64_t offsetNs) {
  const platform::Event* interrupt = platform::InterruptEvent();
  StatusQueue queue;
  if (interrupt == nullptr || !queue.Valid()) {
    std::fprintf(stderr, "tempiola-cli: out of system resources\n");
    return kExitDeviceFailure;
  }
  TransmitterContext ctx;
  ctx.pReports = &queue;
  // The command's own device, to ask it afterwards how its clock ran.
  std::unique_ptr<platform::WaveOutDevice> device = platform::CreateWaveOutDevice();
  ctx.pDevice = device.get();
  if (!StartTransmitterThread(&ctx)) {
    std::fprintf(stderr, "tempiola-cli: cannot start the transmitter thread\n");
    StopTransmitterThread(&ctx);
    return kExitDeviceFailure;
  }
  ctx.nSampleRate = static_cast<int>(signal.rate);
  ctx.bCarrier = signal.carrier;
  ctx.dSampleClockPpm = signal.sampleClockPpm;
  ctx.pStation = &station;
  ctx.nOffsetNs = offsetNs;
  ctx.hStartEvent->Set();

  // The 20 seconds numbered N start playing when those numbered N-1 have
  // been played whole; three make a minute.
  const long long lastFrameBegun = 3 * minutes + 1;
  bool stopping = false;
  std::chrono::steady_clock::time_point stopAnswerDue;
  auto stop = [&] {
    stopping = true;
    stopAnswerDue = std::chrono::steady_clock::now() + kStopAnswerTime;
    ctx.hStopEvent->Set();
  };
  int result = -1;
  bool interrupted = false;
  long long framesSent = 0, stalls = 0;
  bool corrected = false;
  double correctedPpm = 0;
  const platform::Event* waitSet[] = {interrupt, &queue.ready()};
  while (result < 0) {
    int timeoutMs = platform::kInfinite;
    if (stopping) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(stopAnswerDue - std::chrono::steady_clock::now());
      timeoutMs = left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }
    int which = platform::WaitForEvents(waitSet, 2, timeoutMs);
    if (which == platform::kWaitTimeout) {
      std::fprintf(stderr, "tempiola-cli: the sound device does not answer\n");
      result = kExitDeviceFailure;
      break;
    }
    if (which == 0) {
      // A second Ctrl-C does not wait for the thread's report any more.
      if (stopping) break;
      interrupted = true;
      stop();
      continue;
    }
    if (which != 1) break;
    StatusQueue::Status s;
    while (result < 0 && queue.Take(s)) {
      TransmitterStatusReport report = DescribeTransmitterStatus(s.status, s.value);
      if (report.hasLine) PrintStatusLine(report);
      if (s.status == kTxFrameSent) framesSent = s.value;
      if (s.status == kTxStalled) stalls = s.value;
      if (s.status == kTxSampleClock) {
        corrected = true;
        correctedPpm = static_cast<double>(s.value) / 10;
      }
      if (s.status == kTxTransmitting && s.value >= lastFrameBegun && !stopping) {
        stop();
      } else if (s.status == kTxStopped) {
        result = 0;
      } else if (s.status == kTxOpenFailed || s.status == kTxNoDevice || s.status == kTxDeviceFailed) {
        result = kExitDeviceFailure;
      }
    }
  }
  StopTransmitterThread(&ctx);
  std::printf("frames sent whole and on time: %lld; stalls: %lld\n", framesSent, stalls);
  std::fflush(stdout);
  // A transmission that never kept time sent nothing a watch should take,
  // unless it was stopped before it could.
  if (result == 0 && framesSent == 0 && (stalls > 0 || !interrupted)) {
    std::fprintf(stderr, "tempiola-cli: no frame was sent whole and on time\n");
    result = kExitDeviceFailure;
  }
  if (ctx.hQuitEvent) {
    // The thread did not end and may still use the device: it stays.
    device.release();
  } else {
    PrintSampleClock(*device, corrected ? &correctedPpm : nullptr);
  }
  return result < 0 ? 0 : result;
}

constexpr const char* kHelp =
    "Transmits the time signal of the station (BPC by default) on the default\n"
    "sound output, from the station's next frame boundary on, for M minutes\n"
    "(Ctrl-C stops earlier). Each status is printed as a log line; the progress\n"
    "counts 20-second pieces (a BPC frame, a third of a minute frame). Exit\n"
    "status 1 when there is no playback device, it cannot be opened, it stops\n"
    "playing, or no frame was sent whole and on time. What plays more than 15 ms\n"
    "off its second (the output stalled) is silenced and the transmission begins\n"
    "again on the next boundary; the end line counts the frames sent whole and on\n"
    "time and the stalls. The tone and the seconds follow the device's sample\n"
    "clock as it is measured against the system clock (a log line says so);\n"
    "--sample-clock-ppm P starts with a clock known to run P ppm fast (negative:\n"
    "slow). Last, a line tells how fast the sample clock ran and what the sound was\n"
    "corrected for.\n"
    "--carrier plays the carrier itself instead of the tone whose harmonic falls on\n"
    "it, for a loop beside the watch on a device that plays a rate above twice the\n"
    "carrier (--rate 192000 or 176400).\n"
    "--ntp first asks that NTP server for its time (exit status 1 and nothing played\n"
    "when it fails or is more than a day off) and sends the server's time instead\n"
    "of the computer's, every second's edge on the server's second; --offset\n"
    "moves the time sent by that many seconds (decimals allowed, at most a day\n"
    "either way), added to the server's offset where both are given.\n";

}  // namespace

int RunTransmit(int argc, char** argv, int first) {
  Args args;
  const OptionSpec options{{"--station", "--minutes", "--rate", "--ntp", "--port", "--offset", "--sample-clock-ppm"},
                           {"--carrier"}};
  if (auto done = ParseCommand(argc, argv, first, options, TransmitUsage(), kHelp, args)) return *done;
  std::string error;
  const Station* station = StationOption(args, error);
  if (station == nullptr) return Fail(error);
  if (!args.positional().empty()) return Usage(TransmitUsage());
  std::optional<std::string> minutesText = args.Value("--minutes");
  if (!minutesText) return Usage(TransmitUsage());
  long long minutes = 0;
  if (!ParseInt(*minutesText, minutes) || minutes < 1 || minutes > kMaxMinutes) {
    return Fail("--minutes must be a whole number from 1 to 525600");
  }
  SignalOptions signal;
  if (!ParseSignalOptions(args, *station, signal, error)) return Fail(error);
  std::int64_t offsetNs = 0;
  if (!OffsetOption(args, offsetNs, error)) return Fail(error);
  std::optional<std::string> host = args.Value("--ntp");
  int port = 0;
  if (!PortOption(args, port, error)) return Fail(error);
  if (args.Value("--port") && !host) return Fail("--port goes with --ntp");
  if (host) {
    if (host->empty()) return Fail("--ntp needs a server");
    NtpClient client;
    NtpResult result;
    if (!QueryAndPrint(client, *host, port, result)) return kExitDeviceFailure;
    std::int64_t serverNs = 0;
    // Beyond a day the computer's clock is broken, not slow: it is set first.
    if (!(std::fabs(result.offset) <= static_cast<double>(kMaxOffsetSeconds)) ||
        !OffsetNanoseconds(result.offset, serverNs)) {
      char reason[160];
      std::snprintf(reason, sizeof reason,
                    ": the server's time is %.0f s off this computer's, more than a day; set the clock with "
                    "calibrate first",
                    result.offset);
      return FailRun(*host + reason);
    }
    offsetNs += serverNs;
  }
  if (host || offsetNs != 0) {
    std::printf("sending the time moved by %+.6f s\n", static_cast<double>(offsetNs) / kNanosecondsPerSecond);
    std::fflush(stdout);
  }
  return Transmit(minutes, signal, *station, offsetNs);
}

}  // namespace cli
