#include "platform/wave_out.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>

#include "platform/line_fit.h"
#include "platform/portaudio_session.h"

namespace platform {
namespace {

// The sound system's buffer ahead of the device. Its samples are dated,
// so its length costs no precision; a short one (the sound server's
// default can be 35 ms) runs dry whenever a busy machine holds the
// callback back that long, and every later second plays late.
constexpr double kMinOutputLatency = 0.5;
// A device time further ahead than this is no latency but a bad report.
constexpr double kMaxPlausibleLatency = 2.0;
// Less than this much playing tells nothing about the sample clock.
constexpr double kMinDriftSeconds = 5.0;
// The sound system's latency settles over the first seconds of play, as
// its buffers fill: lags from then tell of it, not of the clock.
constexpr double kSettleSeconds = 5.0;
// A lag that moves by more than this from one buffer to the next was
// shifted by a gap the sound system played (it ran dry), not by the clock.
constexpr double kMaxLagJump = 2e-3;

// The system clock read beside the sound system's own: the thread may be
// held between the two readings (a busy machine holds it for tens of ms),
// which makes the difference larger, never smaller. The smallest of the
// last one to two seconds stands for all of them.
struct ClockPair {
  static constexpr double kBucketSeconds = 1.0;
  std::int64_t best = 0;      // realtime minus stream time, ns, in this bucket
  std::int64_t previous = 0;  // the same in the bucket before
  double bucketStart = -1;    // stream time; below 0: no reading yet

  std::int64_t Offset(std::int64_t offset, double now) {
    if (bucketStart < 0) {
      best = previous = offset;
      bucketStart = now;
    } else if (now - bucketStart >= kBucketSeconds || now < bucketStart) {
      previous = best;
      best = offset;
      bucketStart = now;
    } else if (offset < best) {
      best = offset;
    }
    return std::min(best, previous);
  }
};

// The sample clock's rate against the system clock, from the system-clock
// times at which samples left the device: a device that runs fast plays
// its nominal second in less than one.
struct DriftMeter {
  bool running = false;
  std::int64_t startNs = 0;       // when the first played sample left
  std::int64_t framesAtBuffer = 0;  // frames from it to the buffer at hand
  LineFit fit;                    // x: nominal seconds played, y: lag in s

  void Begin(std::int64_t firstSampleNs) {
    running = true;
    startNs = firstSampleNs;
    framesAtBuffer = 0;
    fit = {};
  }
  // The buffer at hand leaves the device from dacNs on (0: not known).
  void Buffer(std::int64_t dacNs, unsigned long frames, double rate) {
    if (!running) return;
    const double x = static_cast<double>(framesAtBuffer) / rate;
    if (dacNs != 0 && x >= kSettleSeconds) {
      fit.AddOrBreak(x, static_cast<double>(dacNs - startNs) / 1e9 - x, kMaxLagJump);
    }
    framesAtBuffer += static_cast<std::int64_t>(frames);
  }
  bool Result(SampleClockReading& reading) const {
    double slope = 0, error = 0;
    if (fit.maxX < kMinDriftSeconds || !fit.Slope(slope) || !fit.SlopeError(error)) return false;
    reading = {-slope * 1e6, fit.maxX, error * 1e6};
    return true;
  }
};

// What the sound system's thread works on. It lives as long as its stream,
// which may outlast the device when the stream's end had to be left to a
// thread of its own (see EndStream).
struct StreamState {
  std::mutex mutex;  // guards the queue, the pause and the event
  WaveHeader* head = nullptr;
  WaveHeader* tail = nullptr;
  bool paused = false;
  std::int64_t startAtNs = 0;  // a scheduled start (RestartAt); 0: none
  const WaveHeader* lastStarted = nullptr;  // the buffer begun last
  std::int64_t lastStartedNs = 0;           // when its first sample left
  const WaveHeader* position = nullptr;     // the buffer samples were taken from last
  std::size_t positionSample = 0;           // the first of them
  std::int64_t positionNs = 0;              // when it leaves
  bool dated = false;                       // the sound system has told a time
  // Buffers copied whole into the sound system, still playing there, and
  // when their last sample leaves.
  struct Handed {
    WaveHeader* header;
    std::int64_t endNs;
  };
  static constexpr int kHanded = 4;
  Handed handed[kHanded] = {};
  int handedCount = 0;
  DriftMeter drift;
  ClockPair clocks;  // the callback's own
  unsigned blockAlign = 2;
  double rate = 0;
  PaStream* stream = nullptr;
  EventHandle event;
  std::atomic<bool> ending{false};  // our own stop, not a breakdown
  std::atomic<bool> failed{false};

  void SignalLocked() {
    if (event) event->Set();
  }
};

class PortAudioWaveOut final : public WaveOutDevice {
 public:
  ~PortAudioWaveOut() override {
    if (stream_ != nullptr) {
      Reset();
      Close();
    }
  }

  unsigned GetNumDevs() override {
    if (!session_->ok()) return 0;
    int count = Pa_GetDeviceCount();
    unsigned outputs = 0;
    for (int i = 0; i < count; ++i) {
      const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
      if (info != nullptr && info->maxOutputChannels > 0) ++outputs;
    }
    return outputs;
  }

  unsigned GetDevCaps(std::uint32_t& formats) override {
    if (!session_->ok()) return MMSYSERR_NODRIVER;
    PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    if (device == paNoDevice) return MMSYSERR_BADDEVICEID;
    formats = 0;
    const struct {
      double rate;
      std::uint32_t flag;
    } probes[] = {{44100, WAVE_FORMAT_4M16},
                  {48000, WAVE_FORMAT_48M16},
                  {96000, WAVE_FORMAT_96M16},
                  {192000, kWaveFormat192M16}};
    for (const auto& probe : probes) {
      PaStreamParameters params = OutputParameters(device, 1);
      if (Pa_IsFormatSupported(nullptr, &params, probe.rate) == paFormatIsSupported) formats |= probe.flag;
    }
    return MMSYSERR_NOERROR;
  }

  unsigned Open(const WaveFormat& format, EventHandle callbackEvent) override {
    if (!session_->ok()) return MMSYSERR_NODRIVER;
    if (stream_ != nullptr) return MMSYSERR_ALLOCATED;
    if (format.wFormatTag != WAVE_FORMAT_PCM || format.wBitsPerSample != 16 || format.nChannels < 1 ||
        format.nChannels > 2 || format.nBlockAlign != 2 * format.nChannels || format.nSamplesPerSec == 0) {
      return WAVERR_BADFORMAT;
    }
    PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    if (device == paNoDevice) return MMSYSERR_BADDEVICEID;
    PaStreamParameters params = OutputParameters(device, format.nChannels);
    double rate = format.nSamplesPerSec;
    if (Pa_IsFormatSupported(nullptr, &params, rate) != paFormatIsSupported) return WAVERR_BADFORMAT;

    auto state = std::make_shared<StreamState>();
    state->blockAlign = format.nBlockAlign;
    state->rate = rate;
    state->event = std::move(callbackEvent);
    const PaError error = StartPortAudioStream(nullptr, &params, rate, paClipOff, &PortAudioWaveOut::Play,
                                               &PortAudioWaveOut::Finished, state.get(), state->stream, state->ending);
    if (error != paNoError) return PortAudioOpenErrorCode(error);
    stream_ = state->stream;
    state_ = std::move(state);
    std::lock_guard lock(state_->mutex);
    state_->SignalLocked();
    return MMSYSERR_NOERROR;
  }

  unsigned PrepareHeader(WaveHeader& header) override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    if (header.lpData == nullptr) return MMSYSERR_INVALPARAM;
    header.dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }

  unsigned UnprepareHeader(WaveHeader& header) override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    if (header.dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    header.dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }

  unsigned Write(WaveHeader& header) override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    if (!(header.dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (header.dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    std::lock_guard lock(state_->mutex);
    header.lpNext = nullptr;
    header.reserved = 0;
    header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    if (state_->tail != nullptr) {
      state_->tail->lpNext = &header;
    } else {
      state_->head = &header;
    }
    state_->tail = &header;
    return MMSYSERR_NOERROR;
  }

  bool TakeBack(WaveHeader& header) override {
    if (stream_ == nullptr) return false;
    std::lock_guard lock(state_->mutex);
    if (state_->tail != &header || header.reserved != 0) return false;
    WaveHeader* before = nullptr;
    for (WaveHeader* h = state_->head; h != &header; h = h->lpNext) before = h;
    if (before != nullptr) {
      before->lpNext = nullptr;
    } else {
      state_->head = nullptr;
    }
    state_->tail = before;
    header.dwFlags &= ~WHDR_INQUEUE;
    return true;
  }

  unsigned Pause() override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    std::lock_guard lock(state_->mutex);
    state_->paused = true;
    state_->startAtNs = 0;
    return MMSYSERR_NOERROR;
  }

  unsigned Restart() override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    std::lock_guard lock(state_->mutex);
    if (state_->paused) {
      state_->paused = false;
      state_->startAtNs = 0;
    }
    return MMSYSERR_NOERROR;
  }

  unsigned RestartAt(std::int64_t realtimeNs) override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    if (realtimeNs <= 0) return MMSYSERR_INVALPARAM;
    std::lock_guard lock(state_->mutex);
    if (state_->paused) state_->startAtNs = realtimeNs;
    return MMSYSERR_NOERROR;
  }

  bool LastBufferStart(const WaveHeader*& header, std::int64_t& realtimeNs) override {
    if (state_ == nullptr) return false;
    std::lock_guard lock(state_->mutex);
    if (state_->lastStarted == nullptr || state_->lastStartedNs == 0) return false;
    header = state_->lastStarted;
    realtimeNs = state_->lastStartedNs;
    return true;
  }

  bool PlayingPosition(const WaveHeader*& header, std::size_t& sample, std::int64_t& realtimeNs) override {
    if (state_ == nullptr) return false;
    std::lock_guard lock(state_->mutex);
    if (state_->position == nullptr) return false;
    header = state_->position;
    sample = state_->positionSample;
    realtimeNs = state_->positionNs;
    return true;
  }

  bool TellsPlayTimes() override {
    if (state_ == nullptr) return false;
    std::lock_guard lock(state_->mutex);
    return state_->dated;
  }

  bool SampleClockDrift(SampleClockReading& reading) override {
    if (state_ != nullptr) {
      std::lock_guard lock(state_->mutex);
      lastDrift_ = state_->drift;
    }
    return lastDrift_.Result(reading);
  }

  unsigned Reset() override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    std::lock_guard lock(state_->mutex);
    bool returned = false;
    for (WaveHeader* h = state_->head; h != nullptr;) {
      WaveHeader* next = h->lpNext;
      h->lpNext = nullptr;
      h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
      h = next;
      returned = true;
    }
    state_->head = state_->tail = nullptr;
    for (int i = 0; i < state_->handedCount; ++i) {
      WaveHeader* h = state_->handed[i].header;
      h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
      returned = true;
    }
    state_->handedCount = 0;
    state_->startAtNs = 0;
    state_->lastStarted = nullptr;
    state_->position = nullptr;
    if (returned) state_->SignalLocked();
    return MMSYSERR_NOERROR;
  }

  unsigned Close() override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    {
      std::lock_guard lock(state_->mutex);
      if (state_->head != nullptr || state_->handedCount != 0) return WAVERR_STILLPLAYING;
    }
    // Stopping (rather than aborting) lets the samples already handed to
    // the sound system finish, so the last buffer is heard whole; a stream
    // that broke down has nothing left to play.
    EndStream(state_->failed);
    stream_ = nullptr;
    EventHandle event;
    {
      // The event goes back to its owner even when the stream lives on.
      std::lock_guard lock(state_->mutex);
      event = std::move(state_->event);
      lastDrift_ = state_->drift;
    }
    if (event) event->Set();
    state_.reset();
    return MMSYSERR_NOERROR;
  }

  unsigned StreamError() override {
    if (stream_ == nullptr) return MMSYSERR_NOERROR;
    // Back ends that do not report their end through the finished callback
    // still show it here.
    if (!state_->failed && Pa_IsStreamActive(stream_) != 1) state_->failed = true;
    return state_->failed ? MMSYSERR_NODRIVER : MMSYSERR_NOERROR;
  }

 private:
  static PaStreamParameters OutputParameters(PaDeviceIndex device, int channels) {
    PaStreamParameters params{};
    params.device = device;
    params.channelCount = channels;
    params.sampleFormat = paInt16;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    params.suggestedLatency = std::max(kMinOutputLatency, info != nullptr ? info->defaultHighOutputLatency : 0.0);
    return params;
  }

  void EndStream(bool abort) {
    state_->ending = true;
    EndPortAudioStream(stream_, abort, state_, session_);
  }

  // Runs on the sound system's thread: copies queued buffers one after the
  // other into the output, silence while paused or when nothing is queued.
  // A scheduled start begins inside the buffer that holds its sample.
  static int Play(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo* time,
                  PaStreamCallbackFlags, void* user) {
    auto& s = *static_cast<StreamState*>(user);
    const std::int64_t dacNs = DacRealtime(s, time);
    char* out = static_cast<char*>(output);
    std::lock_guard lock(s.mutex);
    ReleasePlayedLocked(s, dacNs);
    if (dacNs != 0) s.dated = true;
    // The clock is measured from the open on, silence and all, so that its
    // figure can be known before the first sample plays.
    if (!s.drift.running && dacNs != 0) s.drift.Begin(dacNs);
    s.drift.Buffer(dacNs, frames, s.rate);
    if (s.paused && s.startAtNs != 0 && dacNs != 0) {
      double ahead = std::round(static_cast<double>(s.startAtNs - dacNs) * s.rate / 1e9);
      if (ahead < static_cast<double>(frames)) {
        auto lead = static_cast<unsigned long>(ahead > 0 ? ahead : 0);
        s.paused = false;
        s.startAtNs = 0;
        std::size_t leadBytes = static_cast<std::size_t>(lead) * s.blockAlign;
        std::memset(out, 0, leadBytes);
        FillLocked(s, out + leadBytes, frames - lead, dacNs, lead);
        return paContinue;
      }
    }
    FillLocked(s, out, frames, dacNs, 0);
    return paContinue;
  }

  // When, on CLOCK_REALTIME, the first sample of the buffer at hand leaves
  // the device; 0 when the sound system does not say. Its times are on a
  // clock of its own, read beside ours here.
  static std::int64_t DacRealtime(StreamState& s, const PaStreamCallbackTimeInfo* time) {
    if (time == nullptr || time->outputBufferDacTime <= 0) return 0;
    double now = time->currentTime > 0 ? time->currentTime : Pa_GetStreamTime(s.stream);
    double ahead = time->outputBufferDacTime - now;
    if (now <= 0 || ahead < 0 || ahead > kMaxPlausibleLatency) return 0;
    const std::int64_t realNs = RealtimeNowNs();
    if (realNs == 0) return 0;
    const std::int64_t offsetNs = s.clocks.Offset(realNs - std::llround(now * 1e9), now);
    return std::llround(time->outputBufferDacTime * 1e9) + offsetNs;
  }

  // Runs on the sound system's thread when the stream has ended: after our
  // own stop, or when the back end gave up on a broken stream.
  static void Finished(void* user) {
    auto& state = *static_cast<StreamState*>(user);
    if (state.ending) return;
    state.failed = true;
    std::lock_guard lock(state.mutex);
    state.SignalLocked();
  }

  // dacNs: when the output's first frame leaves the device (0: unknown);
  // out begins `skipped` frames into the output.
  static void FillLocked(StreamState& s, char* out, unsigned long frames, std::int64_t dacNs, unsigned long skipped) {
    std::size_t wanted = static_cast<std::size_t>(frames) * s.blockAlign;
    bool finished = false;
    while (wanted > 0 && !s.paused && s.head != nullptr) {
      WaveHeader* h = s.head;
      const std::size_t framesIn = skipped + (static_cast<std::size_t>(frames) * s.blockAlign - wanted) / s.blockAlign;
      const std::int64_t leavesNs = dacNs == 0 ? 0 : dacNs + std::llround(static_cast<double>(framesIn) * 1e9 / s.rate);
      if (h->reserved == 0) {
        s.lastStarted = h;
        s.lastStartedNs = leavesNs;
      }
      if (leavesNs != 0) {
        s.position = h;
        s.positionSample = h->reserved / s.blockAlign;
        s.positionNs = leavesNs;
      }
      std::size_t left = h->dwBufferLength - h->reserved;
      std::size_t n = left < wanted ? left : wanted;
      std::memcpy(out, h->lpData + h->reserved, n);
      out += n;
      wanted -= n;
      h->reserved += static_cast<std::uint32_t>(n);
      if (h->reserved >= h->dwBufferLength) {
        s.head = h->lpNext;
        if (s.head == nullptr) s.tail = nullptr;
        h->lpNext = nullptr;
        // Done once played, as waveOut's are, where the sound system
        // tells when that is; at once otherwise.
        const std::size_t framesEnd = framesIn + n / s.blockAlign;
        if (dacNs != 0 && s.handedCount < StreamState::kHanded) {
          s.handed[s.handedCount++] = {h, dacNs + std::llround(static_cast<double>(framesEnd) * 1e9 / s.rate)};
        } else {
          h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
          finished = true;
        }
      }
    }
    std::memset(out, 0, wanted);
    if (finished) s.SignalLocked();
  }

  // The buffers handed over whose last sample has left the device by now
  // (all of them when the sound system tells no time).
  static void ReleasePlayedLocked(StreamState& s, std::int64_t dacNs) {
    const std::int64_t nowNs = dacNs != 0 ? RealtimeNowNs() : 0;
    const bool now = nowNs != 0;
    bool finished = false;
    int kept = 0;
    for (int i = 0; i < s.handedCount; ++i) {
      if (now && s.handed[i].endNs > nowNs) {
        s.handed[kept++] = s.handed[i];
        continue;
      }
      s.handed[i].header->dwFlags = (s.handed[i].header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
      finished = true;
    }
    s.handedCount = kept;
    if (finished) s.SignalLocked();
  }

  // Shared with a stream left to finish by itself (see EndStream).
  std::shared_ptr<PortAudioSession> session_ = std::make_shared<PortAudioSession>();
  PaStream* stream_ = nullptr;
  std::shared_ptr<StreamState> state_;  // while a stream is open
  DriftMeter lastDrift_;                 // of the stream closed last
};

}  // namespace

std::unique_ptr<WaveOutDevice> CreateWaveOutDevice() { return std::make_unique<PortAudioWaveOut>(); }

}  // namespace platform
