// Where the seconds on the air lie against the system clock, measured at
// the sound server. tempiola-cli transmits into a private PulseAudio's null
// sink while its monitor is recorded with the system-clock time of every
// read; the falling edge of each second (where the tone stops) is placed
// against the second it starts. For comparison a small writer does the
// same over the sound server's own interface, timing its samples by the
// latency the server reports.
//
//   build/bench/bench_edge_alignment [rate ...]      (default 44100 48000 96000)
//
// TEMPIOLA_CLI_COMMAND runs another build of tempiola-cli, as in the tests
// (the Windows build under Wine); BENCH_TRANSMIT_ARGS adds words to its
// transmit command (e.g. "--offset 0.25", whose edges should lie 250 ms
// before the system clock's seconds, or "--minutes 10" for a longer run).
// Needs what the sound tests need (pulseaudio, the ALSA pulse plugin).
// Prints per rate and source the median and spread (max - min) of the
// edges against the second in ms, positive = late; then, from a straight
// line through them, where they lay at the start, how fast the sink's
// sample clock ran (the edges follow it) and the spread about that line.
// A private null sink's clock runs some 200 ppm fast, so over a minute the
// edges move about 12 ms whoever writes; compare the two sources.
#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/cli_command.h"
#include "tests/e2e/sound_server.h"
#include "tests/e2e/timed_recording.h"

namespace {

constexpr unsigned kRecordRate = 44100;  // the null sink's own
constexpr double kTone = 13700;
using e2e::kSecondNs;
using e2e::PulseSimple;
using e2e::RealtimeNs;
using Recorder = e2e::TimedRecorder;

struct Edges {
  std::vector<double> fallingMs;  // each against its nearest second
  double firstRiseMs = NAN;       // where the tone first began
  std::vector<std::int64_t> at;   // the falling edges' samples
};

double AgainstSecondMs(std::int64_t ns) {
  std::int64_t phase = ((ns % kSecondNs) + kSecondNs) % kSecondNs;
  if (phase >= kSecondNs / 2) phase -= kSecondNs;
  return static_cast<double>(phase) / 1e6;
}

// Where the full-scale tone stops for at least 50 ms after having sounded
// for at least 50 ms, and sounds again within the second: the end of the
// run is no edge.
Edges FindEdges(const Recorder& rec) {
  const auto& s = rec.samples();
  const std::int64_t gap = kRecordRate / 20;
  const int threshold = 8000;
  Edges edges;
  std::int64_t loudSince = -1, lastLoud = -1;
  std::int64_t pendingEdge = -1;
  bool counted = true;
  for (std::int64_t i = 0; i < static_cast<std::int64_t>(s.size()); ++i) {
    if (std::abs(s[static_cast<std::size_t>(i)]) >= threshold) {
      if (lastLoud < 0 || i - lastLoud > gap) {
        if (pendingEdge >= 0 && i - pendingEdge < kRecordRate) {
          edges.fallingMs.push_back(AgainstSecondMs(rec.TimeOfSample(pendingEdge)));
          edges.at.push_back(pendingEdge);
        }
        pendingEdge = -1;
        loudSince = i;
        if (std::isnan(edges.firstRiseMs)) edges.firstRiseMs = AgainstSecondMs(rec.TimeOfSample(i));
      }
      lastLoud = i;
      counted = false;
    } else if (!counted && lastLoud >= 0 && i - lastLoud >= gap) {
      counted = true;
      if (lastLoud - loudSince >= gap) pendingEdge = lastLoud + 1;
    }
  }
  return edges;
}

struct Figures {
  double median = NAN, start = NAN;
};

// The edges drift with the sink's sample clock; a straight line through
// them separates that drift (and where it started) from the jitter about it.
Figures Report(const char* what, unsigned rate, const Edges& e, bool startsOnASecond) {
  Figures f;
  const std::size_t n = e.fallingMs.size();
  if (std::getenv("BENCH_VERBOSE") != nullptr) {
    for (std::size_t k = 0; k < n; ++k) {
      std::printf(" %.2f(%lld)", e.fallingMs[k], k > 0 ? static_cast<long long>(e.at[k] - e.at[k - 1]) : 0LL);
    }
    std::printf("\n");
  }
  if (n < 3) {
    std::printf("%6u Hz  %-34s too few edges (%zu)\n", rate, what, n);
    return f;
  }
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  std::vector<double> x(n);
  for (std::size_t k = 0; k < n; ++k) {
    x[k] = static_cast<double>(e.at[k] - e.at[0]) / kRecordRate;
    sx += x[k];
    sy += e.fallingMs[k];
    sxx += x[k] * x[k];
    sxy += x[k] * e.fallingMs[k];
  }
  const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);  // ms per s
  f.start = (sy - slope * sx) / n;
  double lo = INFINITY, hi = -INFINITY;
  for (std::size_t k = 0; k < n; ++k) {
    double r = e.fallingMs[k] - (f.start + slope * x[k]);
    lo = std::min(lo, r);
    hi = std::max(hi, r);
  }
  std::vector<double> sorted = e.fallingMs;
  std::sort(sorted.begin(), sorted.end());
  f.median = sorted[n / 2];
  // Where most edges lie, the odd one out left aside: 2nd to 98th percentile.
  const double middle = sorted[n * 98 / 100] - sorted[n * 2 / 100];
  std::printf(
      "%6u Hz  %-34s median %+6.2f ms  spread %5.2f ms (2-98%%: %5.2f ms)  |  at start %+6.2f ms, "
      "sink clock %+4.0f ppm, spread about it %4.2f ms  (%zu edges over %.0f s)\n",
      rate, what, f.median, sorted.back() - sorted.front(), middle, f.start, -slope * 1000, hi - lo, n, x[n - 1]);
  if (startsOnASecond) std::printf("%6u Hz  %-34s %+6.2f ms\n", rate, "  its first frame begins", e.firstRiseMs);
  return f;
}

// A tone that stops for the first 200 ms of every second, each sample
// written for the time the server's reported latency says it will play.
bool RunCorrectedWriter(const PulseSimple& pa, unsigned rate, int seconds) {
  // Half a second queued: a writer held up by a busy machine must not run
  // dry, or every later edge would move by the gap.
  void* out = pa.Stream(true, rate, 0, rate / 2 * 2);
  if (out == nullptr) return false;
  const std::size_t chunk = rate / 100;
  std::vector<std::int16_t> buffer(chunk);
  std::int64_t written = 0;
  std::vector<std::int64_t> zeros;  // estimates of when sample 0 plays
  std::int64_t zero = 0;
  const std::int64_t total = static_cast<std::int64_t>(rate) * (seconds + 1);
  int error = 0;
  while (written < total) {
    if (written < rate) {
      std::fill(buffer.begin(), buffer.end(), 0);
    } else {
      if (zero == 0) {
        std::sort(zeros.begin(), zeros.end());
        zero = zeros[zeros.size() / 2];
      }
      for (std::size_t k = 0; k < chunk; ++k) {
        std::int64_t n = written + static_cast<std::int64_t>(k);
        std::int64_t at = zero + n * kSecondNs / rate;
        bool off = ((at % kSecondNs) + kSecondNs) % kSecondNs < kSecondNs / 5;
        buffer[k] = off ? 0 : static_cast<std::int16_t>(std::lround(32767 * std::sin(2 * M_PI * kTone * n / rate)));
      }
    }
    if (pa.write(out, buffer.data(), chunk * 2, &error) < 0) break;
    written += static_cast<std::int64_t>(chunk);
    // Once the queue is full and playing, so that the latency is a real one.
    if (written > rate * 3 / 4 && written < rate) {
      std::int64_t now = RealtimeNs();
      auto latencyUs = static_cast<std::int64_t>(pa.latency(out, &error));
      zeros.push_back(now + latencyUs * 1000 - written * kSecondNs / rate);
    }
  }
  // Let the last samples play out.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  pa.free(out);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<unsigned> rates;
  for (int i = 1; i < argc; ++i) rates.push_back(static_cast<unsigned>(std::atoi(argv[i])));
  if (rates.empty()) rates = {44100, 48000, 96000};
  PulseSimple pa;
  if (!pa.Load()) {
    std::fprintf(stderr, "libpulse-simple.so.0 not found\n");
    return 1;
  }
  e2e::PrivateSoundServer server;
  std::string error;
  if (!server.Start(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  for (unsigned rate : rates) {
    Figures transmitter, writer;
    {
      Recorder rec(pa);
      if (!rec.Start()) return 1;
      e2e::Child cli;
      std::vector<std::string> command = test_support::CliCommand(TEMPIOLA_CLI);
      for (const char* word : {"transmit", "--rate"}) command.emplace_back(word);
      command.push_back(std::to_string(rate));
      std::string extra = std::getenv("BENCH_TRANSMIT_ARGS") != nullptr ? std::getenv("BENCH_TRANSMIT_ARGS") : "";
      if (extra.find("--minutes") == std::string::npos) extra += " --minutes 1";
      std::istringstream words(extra);
      for (std::string word; words >> word;) command.push_back(word);
      if (!cli.Spawn(command, "", (server.dir() / "cli.err").string())) {
        return 1;
      }
      std::string last;
      while (auto line = cli.ReadLine()) last = *line;
      cli.Wait(std::chrono::seconds(30));
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
      rec.Stop();
      transmitter = Report("tempiola-cli transmit", rate, FindEdges(rec), true);
      std::printf("%6u Hz  %-34s %s\n", rate, "  its last line:", last.c_str());
    }
    {
      Recorder rec(pa);
      if (!rec.Start() || !RunCorrectedWriter(pa, rate, 60)) return 1;
      rec.Stop();
      writer = Report("writer corrected by server latency", rate, FindEdges(rec), false);
    }
    std::printf("%6u Hz  %-34s median %+6.2f ms, at start %+6.2f ms\n\n", rate, "transmitter minus writer",
                transmitter.median - writer.median, transmitter.start - writer.start);
    std::fflush(stdout);
  }
  return 0;
}
