// A recording of the private sound server's monitor that knows when each
// of its samples arrived on the system clock: the reads of a small client
// of the server's own interface, 5 ms at a time, each with the time it
// returned. For the benchmarks that place the seconds on the air against
// the system clock, and the tests that measure a tone in the system
// clock's time.
#pragma once

#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/sound_server.h"

namespace e2e {

inline constexpr std::int64_t kSecondNs = 1000000000;

inline std::int64_t RealtimeNs() {
  timespec t{};
  ::clock_gettime(CLOCK_REALTIME, &t);
  return static_cast<std::int64_t>(t.tv_sec) * kSecondNs + t.tv_nsec;
}

// The few calls of libpulse-simple used here, bound at run time (the
// library is there with the sound server; its headers need not be).
struct PulseSimple {
  struct SampleSpec {
    int format;  // PA_SAMPLE_S16LE = 3
    std::uint32_t rate;
    std::uint8_t channels;
  };
  struct BufferAttr {
    std::uint32_t maxlength, tlength, prebuf, minreq, fragsize;
  };
  using New = void* (*)(const char*, const char*, int, const char*, const char*, const SampleSpec*, const void*,
                        const BufferAttr*, int*);
  using Io = int (*)(void*, void*, std::size_t, int*);
  using Latency = std::uint64_t (*)(void*, int*);
  using Free = void (*)(void*);

  New open = nullptr;
  Io read = nullptr;
  Io write = nullptr;
  Latency latency = nullptr;
  Free free = nullptr;

  bool Load() {
    void* lib = ::dlopen("libpulse-simple.so.0", RTLD_NOW);
    if (lib == nullptr) return false;
    open = reinterpret_cast<New>(::dlsym(lib, "pa_simple_new"));
    read = reinterpret_cast<Io>(::dlsym(lib, "pa_simple_read"));
    write = reinterpret_cast<Io>(::dlsym(lib, "pa_simple_write"));
    latency = reinterpret_cast<Latency>(::dlsym(lib, "pa_simple_get_latency"));
    free = reinterpret_cast<Free>(::dlsym(lib, "pa_simple_free"));
    return open && read && write && latency && free;
  }
  // A playback stream to the default sink, or a recording of the sink's
  // monitor.
  void* Stream(bool playback, unsigned rate, std::uint32_t fragmentBytes, std::uint32_t targetBytes,
               const std::string& sink = PrivateSoundServer::kSink) const {
    SampleSpec format{3, rate, 1};
    BufferAttr attr{~0u, playback ? targetBytes : ~0u, ~0u, ~0u, playback ? ~0u : fragmentBytes};
    int error = 0;
    const std::string monitor = sink + ".monitor";
    return open(nullptr, "tempiola-test", playback ? 1 : 2, playback ? nullptr : monitor.c_str(), "timed", &format,
                nullptr, &attr, &error);
  }
};

// The monitor of a sink running at `rate`, read 5 ms at a time, with the
// time each read returned.
class TimedRecorder {
 public:
  explicit TimedRecorder(const PulseSimple& pa, unsigned rate = 44100,
                         std::string sink = PrivateSoundServer::kSink)
      : pa_(pa), rate_(rate), chunk_(rate / 200), sink_(std::move(sink)) {}
  bool Start() {
    stream_ = pa_.Stream(false, rate_, static_cast<std::uint32_t>(chunk_ * 2), 0, sink_);
    if (stream_ == nullptr) return false;
    thread_ = std::thread([this] {
      std::vector<std::int16_t> chunk(chunk_);
      while (!stop_) {
        int error = 0;
        if (pa_.read(stream_, chunk.data(), chunk.size() * 2, &error) < 0) break;
        std::int64_t now = RealtimeNs();
        samples_.insert(samples_.end(), chunk.begin(), chunk.end());
        reads_.push_back({static_cast<std::int64_t>(samples_.size()), now});
      }
    });
    return true;
  }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (stream_ != nullptr) pa_.free(stream_);
    stream_ = nullptr;
  }
  ~TimedRecorder() { Stop(); }

  const std::vector<std::int16_t>& samples() const { return samples_; }

  // When sample n reached the monitor: every read returns after its last
  // sample came, so the earliest (time - samples / rate) of the reads
  // around n is the least delayed estimate.
  std::int64_t TimeOfSample(std::int64_t n) const {
    const std::int64_t rate = rate_;
    const std::int64_t window = 5 * rate;
    std::int64_t best = INT64_MAX;
    for (const Read& r : reads_) {
      if (r.samplesAfter < n - window || r.samplesAfter > n + window) continue;
      std::int64_t zero = r.at - r.samplesAfter * kSecondNs / rate;
      best = std::min(best, zero);
    }
    return best + n * kSecondNs / rate;
  }

  // The first sample that arrived at or after the system time `ns`.
  std::int64_t SampleAt(std::int64_t ns) const {
    for (const Read& r : reads_) {
      if (r.at >= ns) return std::max<std::int64_t>(0, r.samplesAfter - static_cast<std::int64_t>(chunk_));
    }
    return static_cast<std::int64_t>(samples_.size());
  }

  struct Stretch {
    std::int64_t from = 0, to = 0;  // samples
    double samplesPerSecond = 0;    // of the system clock, over them
  };
  // Within samples [from, to), the longest stretch the server delivered
  // without stalling (no read waited for 200 ms), and how many samples a
  // second of the system clock it delivered there: a straight line through
  // the reads' times.
  Stretch SteadiestStretch(std::int64_t from, std::int64_t to) const {
    Stretch best;
    std::size_t begin = 0;
    auto consider = [&](std::size_t first, std::size_t last) {  // reads [first, last)
      if (last < first + 3) return;
      const std::int64_t a = reads_[first].samplesAfter, b = reads_[last - 1].samplesAfter;
      if (b - a <= best.to - best.from) return;
      double sx = 0, sy = 0, sxx = 0, sxy = 0;
      const double n = static_cast<double>(last - first);
      for (std::size_t k = first; k < last; ++k) {
        const double x = static_cast<double>(reads_[k].samplesAfter - a);
        const double y = static_cast<double>(reads_[k].at - reads_[first].at) / 1e9;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
      }
      best = {a, b, (n * sxx - sx * sx) / (n * sxy - sx * sy)};
    };
    for (std::size_t k = 0; k < reads_.size(); ++k) {
      const bool inside = reads_[k].samplesAfter > from && reads_[k].samplesAfter <= to;
      const bool stalled = k > 0 && reads_[k].at - reads_[k - 1].at > kSecondNs / 5;
      if (!inside || stalled) {
        consider(begin, k);
        begin = inside ? k : k + 1;
      }
    }
    consider(begin, reads_.size());
    return best;
  }

 private:
  struct Read {
    std::int64_t samplesAfter;
    std::int64_t at;
  };
  const PulseSimple& pa_;
  const unsigned rate_;
  const std::size_t chunk_;
  const std::string sink_;
  void* stream_ = nullptr;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::vector<std::int16_t> samples_;
  std::vector<Read> reads_;
};

}  // namespace e2e
