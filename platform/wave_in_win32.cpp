#include "platform/wave_in.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/system_clock.h"
#include "platform/thread.h"

namespace {
constexpr unsigned kOurBadFormat = platform::WAVERR_BADFORMAT;
constexpr unsigned kOurError = platform::MMSYSERR_ERROR;
}  // namespace

#include <windows.h>
#include <mmsystem.h>
#undef CreateEvent

static_assert(kOurBadFormat == WAVERR_BADFORMAT && kOurError == MMSYSERR_ERROR);

namespace platform {
namespace {

// Buffers of 100 ms, 2 s of them with the system: room for a busy machine.
constexpr int kBuffers = 20;
constexpr unsigned kBufferMs = 100;
// What waits for Take at most; older blocks are dropped.
constexpr unsigned kKeptSeconds = 20;
constexpr int kTeardownMs = 1000;

class WinMmWaveIn final : public WaveInDevice {
 public:
  ~WinMmWaveIn() override { Close(); }

  unsigned Open(unsigned rate, EventHandle event) override {
    if (device_ != nullptr) return MMSYSERR_ALLOCATED;
    if (rate == 0) return WAVERR_BADFORMAT;
    system_ = platform::CreateEvent();
    stop_ = platform::CreateEvent();
    if (!system_ || !stop_) return MMSYSERR_NOMEM;
    WAVEFORMATEX wfx{WAVE_FORMAT_PCM, 1, rate, 2 * rate, 2, 16, 0};
    HWAVEIN device = nullptr;
    MMRESULT r = ::waveInOpen(&device, WAVE_MAPPER, &wfx, reinterpret_cast<DWORD_PTR>(system_->handle()), 0,
                              CALLBACK_EVENT);
    if (r != MMSYSERR_NOERROR) return r;
    device_ = device;
    rate_ = rate;
    event_ = std::move(event);
    failed_ = false;
    const std::size_t samples = std::size_t{rate} * kBufferMs / 1000;
    for (Buffer& b : buffers_) {
      b.samples.assign(samples, 0);
      b.header = {};
      b.header.lpData = reinterpret_cast<LPSTR>(b.samples.data());
      b.header.dwBufferLength = static_cast<DWORD>(samples * 2);
      r = ::waveInPrepareHeader(device_, &b.header, sizeof b.header);
      if (r == MMSYSERR_NOERROR) r = ::waveInAddBuffer(device_, &b.header, sizeof b.header);
      if (r != MMSYSERR_NOERROR) break;
    }
    if (r == MMSYSERR_NOERROR) r = ::waveInStart(device_);
    if (r == MMSYSERR_NOERROR && !collector_.Start([this] { Collect(); })) r = MMSYSERR_NOMEM;
    if (r != MMSYSERR_NOERROR) Close();
    return r;
  }

  void Take(std::vector<CapturedBlock>& blocks) override {
    std::lock_guard lock(mutex_);
    for (CapturedBlock& b : blocks_) blocks.push_back(std::move(b));
    blocks_.clear();
  }

  unsigned StreamError() override { return failed_ ? MMSYSERR_ERROR : MMSYSERR_NOERROR; }

  void Close() override {
    if (device_ == nullptr) return;
    stop_->Set();
    if (!collector_.Join(kTeardownMs)) collector_.Detach();
    ::waveInReset(device_);
    for (Buffer& b : buffers_) {
      if (b.header.dwFlags & WHDR_PREPARED) ::waveInUnprepareHeader(device_, &b.header, sizeof b.header);
    }
    ::waveInClose(device_);
    device_ = nullptr;
  }

 private:
  struct Buffer {
    std::vector<std::int16_t> samples;
    WAVEHDR header{};
  };

  // On a thread of its own, so that the system always has buffers to fill
  // however long the caller takes between its Takes: copies each filled
  // buffer out, dated, and hands it back.
  void Collect() {
    const Event* events[] = {stop_.get(), system_.get()};
    std::size_t next = 0;
    while (WaitForEvents(events, 2, kInfinite) == 1) {
      while (buffers_[next].header.dwFlags & WHDR_DONE) {
        Buffer& b = buffers_[next];
        CapturedBlock block;
        const std::size_t n = b.header.dwBytesRecorded / 2;
        block.firstNs = GetSystemTimeNanoseconds() - static_cast<std::int64_t>(n) * kNanosecondsPerSecond / rate_;
        block.samples.resize(n);
        for (std::size_t i = 0; i < n; ++i) block.samples[i] = static_cast<float>(b.samples[i]) / 32768.0F;
        Keep(std::move(block));
        b.header.dwFlags &= ~WHDR_DONE;
        if (::waveInAddBuffer(device_, &b.header, sizeof b.header) != MMSYSERR_NOERROR) {
          failed_ = true;
          if (event_) event_->Set();
          return;
        }
        next = (next + 1) % buffers_.size();
      }
    }
  }

  void Keep(CapturedBlock block) {
    std::lock_guard lock(mutex_);
    if (block.samples.empty()) return;
    blocks_.push_back(std::move(block));
    while (blocks_.size() > kKeptSeconds * 1000 / kBufferMs) blocks_.pop_front();
    if (event_) event_->Set();
  }

  HWAVEIN device_ = nullptr;
  unsigned rate_ = 0;
  EventHandle system_, stop_, event_;
  std::array<Buffer, kBuffers> buffers_;
  std::atomic<bool> failed_{false};
  std::mutex mutex_;  // guards blocks_
  std::deque<CapturedBlock> blocks_;
  Thread collector_;
};

}  // namespace

std::unique_ptr<WaveInDevice> CreateWaveInDevice() { return std::make_unique<WinMmWaveIn>(); }

}  // namespace platform
