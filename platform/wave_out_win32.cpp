#include "platform/wave_out.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/thread.h"

// The program's names for the system's flags and codes, taken before the
// system's headers turn those names into macros.
namespace {
constexpr std::uint32_t kOurDone = platform::WHDR_DONE;
constexpr std::uint32_t kOurPrepared = platform::WHDR_PREPARED;
constexpr std::uint32_t kOurInQueue = platform::WHDR_INQUEUE;
constexpr unsigned kOurStillPlaying = platform::WAVERR_STILLPLAYING;
constexpr unsigned kOurBadFormat = platform::WAVERR_BADFORMAT;
constexpr unsigned kOurInvalHandle = platform::MMSYSERR_INVALHANDLE;
constexpr unsigned kOurNoDriver = platform::MMSYSERR_NODRIVER;
}  // namespace

#include <windows.h>
#include <mmsystem.h>
// The program's own CreateEvent, not the system's A/W macro.
#undef CreateEvent

static_assert(kOurDone == WHDR_DONE && kOurPrepared == WHDR_PREPARED && kOurInQueue == WHDR_INQUEUE);
static_assert(kOurStillPlaying == WAVERR_STILLPLAYING && kOurBadFormat == WAVERR_BADFORMAT &&
              kOurInvalHandle == MMSYSERR_INVALHANDLE && kOurNoDriver == MMSYSERR_NODRIVER);

// The header is handed to the system as its WAVEHDR.
static_assert(sizeof(platform::WaveHeader) == sizeof(WAVEHDR));
static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(DWORD) && std::atomic<std::uint32_t>::is_always_lock_free);
static_assert(offsetof(platform::WaveHeader, lpData) == offsetof(WAVEHDR, lpData));
static_assert(offsetof(platform::WaveHeader, dwBufferLength) == offsetof(WAVEHDR, dwBufferLength));
static_assert(offsetof(platform::WaveHeader, dwFlags) == offsetof(WAVEHDR, dwFlags));
static_assert(offsetof(platform::WaveHeader, dwLoops) == offsetof(WAVEHDR, dwLoops));
static_assert(offsetof(platform::WaveHeader, lpNext) == offsetof(WAVEHDR, lpNext));
static_assert(offsetof(platform::WaveHeader, reserved) == offsetof(WAVEHDR, reserved));

namespace platform {
namespace {

// Closing waits for the sound system, and one that stopped answering would
// hold the caller for good.
constexpr int kTeardownMs = 1000;

WAVEHDR* System(WaveHeader& header) { return reinterpret_cast<WAVEHDR*>(&header); }

class WinMmWaveOut final : public WaveOutDevice {
 public:
  ~WinMmWaveOut() override {
    if (device_ != nullptr) {
      Reset();
      Close();
    }
  }

  unsigned GetNumDevs() override { return ::waveOutGetNumDevs(); }

  unsigned GetDevCaps(std::uint32_t& formats) override {
    WAVEOUTCAPSA caps{};
    MMRESULT r = ::waveOutGetDevCapsA(WAVE_MAPPER, &caps, sizeof caps);
    if (r == MMSYSERR_NOERROR) formats = caps.dwFormats;
    return r;
  }

  unsigned Open(const WaveFormat& format, EventHandle callbackEvent) override {
    if (device_ != nullptr) return MMSYSERR_ALLOCATED;
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = format.wFormatTag;
    wfx.nChannels = format.nChannels;
    wfx.nSamplesPerSec = format.nSamplesPerSec;
    wfx.nAvgBytesPerSec = format.nAvgBytesPerSec;
    wfx.nBlockAlign = format.nBlockAlign;
    wfx.wBitsPerSample = format.wBitsPerSample;
    wfx.cbSize = 0;  // plain PCM carries no extra bytes
    HWAVEOUT device = nullptr;
    MMRESULT r = callbackEvent
                     ? ::waveOutOpen(&device, WAVE_MAPPER, &wfx, reinterpret_cast<DWORD_PTR>(callbackEvent->handle()),
                                     0, CALLBACK_EVENT)
                     : ::waveOutOpen(&device, WAVE_MAPPER, &wfx, 0, 0, CALLBACK_NULL);
    if (r != MMSYSERR_NOERROR) return r;
    device_ = device;
    // The system signals the event until the device is closed.
    event_ = std::move(callbackEvent);
    return MMSYSERR_NOERROR;
  }

  unsigned PrepareHeader(WaveHeader& header) override {
    if (device_ == nullptr) return MMSYSERR_INVALHANDLE;
    MMRESULT r = ::waveOutPrepareHeader(device_, System(header), sizeof(WAVEHDR));
    if (r == MMSYSERR_NOERROR && std::find(prepared_.begin(), prepared_.end(), &header) == prepared_.end()) {
      prepared_.push_back(&header);
    }
    return r;
  }

  unsigned UnprepareHeader(WaveHeader& header) override {
    if (device_ == nullptr) return MMSYSERR_INVALHANDLE;
    MMRESULT r = ::waveOutUnprepareHeader(device_, System(header), sizeof(WAVEHDR));
    if (r == MMSYSERR_NOERROR) std::erase(prepared_, &header);
    return r;
  }

  unsigned Write(WaveHeader& header) override {
    if (device_ == nullptr) return MMSYSERR_INVALHANDLE;
    return ::waveOutWrite(device_, System(header), sizeof(WAVEHDR));
  }

  unsigned Pause() override { return device_ == nullptr ? MMSYSERR_INVALHANDLE : ::waveOutPause(device_); }
  unsigned Restart() override { return device_ == nullptr ? MMSYSERR_INVALHANDLE : ::waveOutRestart(device_); }
  unsigned Reset() override {
    if (device_ == nullptr) return MMSYSERR_INVALHANDLE;
    MMRESULT r = ::waveOutReset(device_);
    // A device that cannot take its buffers back has lost its output (Wine
    // does this when the sound server went away).
    if (r != MMSYSERR_NOERROR) lost_ = r;
    return r;
  }

  // Closes on a thread of its own and waits for it a short while only; past
  // that the thread finishes alone, keeping the event alive for the
  // system's last signal.
  unsigned Close() override {
    if (device_ == nullptr) return MMSYSERR_INVALHANDLE;
    // Not every waveOut refuses this itself (Wine closes, and the queued
    // buffers are never returned). A lost device will return none anyway.
    for (const WaveHeader* h : prepared_) {
      if (lost_ == MMSYSERR_NOERROR && (h->dwFlags & WHDR_INQUEUE)) return WAVERR_STILLPLAYING;
    }
    struct Outcome {
      MMRESULT result = MMSYSERR_NOERROR;
    };
    auto outcome = std::make_shared<Outcome>();
    auto close = [device = device_, event = event_, outcome] { outcome->result = ::waveOutClose(device); };
    Thread teardown;
    if (!teardown.Start(close)) {
      close();
    } else if (!teardown.Join(kTeardownMs)) {
      teardown.Detach();
      Forget();
      return MMSYSERR_NOERROR;
    }
    if (outcome->result == WAVERR_STILLPLAYING) return WAVERR_STILLPLAYING;
    Forget();
    return outcome->result;
  }

  // waveOut reports no breakdown of its own; a device the system has lost
  // shows as a reset or a position it can no longer give.
  unsigned StreamError() override {
    if (device_ == nullptr) return MMSYSERR_NOERROR;
    if (lost_ != MMSYSERR_NOERROR) return lost_;
    MMTIME position{};
    position.wType = TIME_BYTES;
    return ::waveOutGetPosition(device_, &position, sizeof position);
  }

 private:
  void Forget() {
    device_ = nullptr;
    lost_ = MMSYSERR_NOERROR;
    prepared_.clear();
    // Signalled here as well, for a close the system did not finish in time.
    if (event_) event_->Set();
    event_.reset();
  }

  HWAVEOUT device_ = nullptr;
  EventHandle event_;
  MMRESULT lost_ = MMSYSERR_NOERROR;  // what a failed reset returned
  // Headers prepared and not yet unprepared, which the caller keeps until
  // it unprepares them; for the check in Close.
  std::vector<WaveHeader*> prepared_;
};

}  // namespace

std::unique_ptr<WaveOutDevice> CreateWaveOutDevice() { return std::make_unique<WinMmWaveOut>(); }

}  // namespace platform
