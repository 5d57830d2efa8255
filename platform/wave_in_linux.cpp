#include "platform/wave_in.h"

#include <atomic>
#include <cmath>
#include <deque>
#include <mutex>

#include "platform/portaudio_session.h"

namespace platform {
namespace {

// What waits for Take at most; older blocks are dropped.
constexpr double kKeptSeconds = 20.0;
// Short blocks, so that the time each is handed over dates it closely.
constexpr double kInputLatency = 0.02;

// What the sound system's thread works on; it may outlast the device (see
// EndPortAudioStream).
struct InputState {
  std::mutex mutex;  // guards blocks and kept
  std::deque<CapturedBlock> blocks;
  std::size_t kept = 0;  // samples in blocks
  double rate = 0;
  EventHandle event;
  std::atomic<bool> ending{false};  // our own stop, not a breakdown
  std::atomic<bool> failed{false};
};

class PortAudioWaveIn final : public WaveInDevice {
 public:
  ~PortAudioWaveIn() override { Close(); }

  unsigned Open(unsigned rate, EventHandle event) override {
    if (!session_->ok()) return MMSYSERR_NODRIVER;
    if (stream_ != nullptr) return MMSYSERR_ALLOCATED;
    if (rate == 0) return WAVERR_BADFORMAT;
    const PaDeviceIndex device = Pa_GetDefaultInputDevice();
    if (device == paNoDevice) return MMSYSERR_BADDEVICEID;
    PaStreamParameters params{};
    params.device = device;
    params.channelCount = 1;
    params.sampleFormat = paFloat32;
    params.suggestedLatency = kInputLatency;
    if (Pa_IsFormatSupported(&params, nullptr, rate) != paFormatIsSupported) return WAVERR_BADFORMAT;
    auto state = std::make_shared<InputState>();
    state->rate = rate;
    state->event = std::move(event);
    PaStream* stream = nullptr;
    const PaError error = StartPortAudioStream(&params, nullptr, rate, paNoFlag, &PortAudioWaveIn::Capture,
                                               &PortAudioWaveIn::Finished, state.get(), stream, state->ending);
    if (error != paNoError) return PortAudioOpenErrorCode(error);
    stream_ = stream;
    state_ = std::move(state);
    return MMSYSERR_NOERROR;
  }

  void Take(std::vector<CapturedBlock>& blocks) override {
    if (state_ == nullptr) return;
    std::lock_guard lock(state_->mutex);
    for (CapturedBlock& b : state_->blocks) blocks.push_back(std::move(b));
    state_->blocks.clear();
    state_->kept = 0;
  }

  unsigned StreamError() override { return state_ != nullptr && state_->failed ? MMSYSERR_ERROR : MMSYSERR_NOERROR; }

  void Close() override {
    if (stream_ == nullptr) return;
    state_->ending = true;
    EndPortAudioStream(stream_, state_->failed, state_, session_);
    stream_ = nullptr;
    state_.reset();
  }

 private:
  // Runs on the sound system's thread.
  static int Capture(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                     PaStreamCallbackFlags, void* user) {
    auto& s = *static_cast<InputState*>(user);
    if (input == nullptr || frames == 0) return paContinue;
    CapturedBlock block;
    block.firstNs = HandedRealtime(s, frames);
    const auto* samples = static_cast<const float*>(input);
    block.samples.assign(samples, samples + frames);
    std::lock_guard lock(s.mutex);
    s.kept += frames;
    s.blocks.push_back(std::move(block));
    while (s.kept > static_cast<std::size_t>(kKeptSeconds * s.rate) && s.blocks.size() > 1) {
      s.kept -= s.blocks.front().samples.size();
      s.blocks.pop_front();
    }
    if (s.event) s.event->Set();
    return paContinue;
  }

  // When, on CLOCK_REALTIME, the block's first sample came in, at the
  // latest: now less the block's length. The sound server's own dates of
  // its input are no better: they lie some ms later than that bound once
  // settled, and a second or more early at the start.
  static std::int64_t HandedRealtime(const InputState& s, unsigned long frames) {
    return RealtimeNowNs() - std::llround(static_cast<double>(frames) * 1e9 / s.rate);
  }

  // Runs on the sound system's thread when the stream has ended: after our
  // own stop, or when the back end gave up on a broken stream.
  static void Finished(void* user) {
    auto& s = *static_cast<InputState*>(user);
    if (s.ending) return;
    s.failed = true;
    if (s.event) s.event->Set();
  }

  // Shared with a stream left to finish by itself.
  std::shared_ptr<PortAudioSession> session_ = std::make_shared<PortAudioSession>();
  PaStream* stream_ = nullptr;
  std::shared_ptr<InputState> state_;  // while a stream is open
};

}  // namespace

std::unique_ptr<WaveInDevice> CreateWaveInDevice() { return std::make_unique<PortAudioWaveIn>(); }

}  // namespace platform
