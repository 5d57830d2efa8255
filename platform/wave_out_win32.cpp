#include "platform/wave_out.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/line_fit.h"
#include "platform/system_clock.h"
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

// A scheduled start plays silence first, to learn from the device's
// position when its samples leave, then silence up to the start. The
// first part must outlast the device's start and the watch of its position.
constexpr int kProbeMs = 500;
constexpr int kWatchMs = 60;
// What two readings of the fine clock and the position may be apart.
constexpr std::int64_t kClockReadNs = 2 * 1000000LL;
constexpr std::int64_t kFirstMoveWithinNs = 350 * 1000000LL;
// Schedules nearer than this cannot be kept, further than this are no
// start of a transmission: both are left to Restart.
constexpr std::int64_t kMinLeadNs = 800 * 1000000LL;
constexpr std::int64_t kMaxLeadNs = 10 * kNanosecondsPerSecond;
// Points for the sample clock's rate, at most this often.
constexpr std::int64_t kDriftPointNs = 250 * 1000000LL;
// Less than this much playing tells nothing about the sample clock.
constexpr double kMinDriftSeconds = 5.0;
constexpr double kNsPerSecond = static_cast<double>(kNanosecondsPerSecond);

// Silence of our own, handed to the system ahead of the caller's buffers.
struct LeadIn {
  std::vector<std::int16_t> samples;
  WAVEHDR header{};
};

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
    if (r != MMSYSERR_NOERROR) return r;
    formats = caps.dwFormats;
    // The system's flags stop at 96 kHz: whether the device opens at 192 kHz
    // is asked of it.
    WAVEFORMATEX wfx{WAVE_FORMAT_PCM, 1, 192000, 2 * 192000, 2, 16, 0};
    if (::waveOutOpen(nullptr, WAVE_MAPPER, &wfx, 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR) {
      formats |= kWaveFormat192M16;
    }
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
    rate_ = format.nSamplesPerSec;
    blockAlign_ = format.nBlockAlign != 0 ? format.nBlockAlign : 1;
    paused_ = false;
    ForgetGiven();
    wraps_ = 0;
    lastRaw_ = 0;
    fit_ = {};
    fitZeroNs_ = 0;
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
    if (IsHeld(header)) return WAVERR_STILLPLAYING;
    MMRESULT r = ::waveOutUnprepareHeader(device_, System(header), sizeof(WAVEHDR));
    if (r == MMSYSERR_NOERROR) std::erase(prepared_, &header);
    return r;
  }

  // While paused the buffers stay with us, so that a scheduled start can
  // put silence ahead of them; they go to the system in order on the start.
  unsigned Write(WaveHeader& header) override {
    if (device_ == nullptr) return MMSYSERR_INVALHANDLE;
    if (!paused_) {
      const MMRESULT r = ::waveOutWrite(device_, System(header), sizeof(WAVEHDR));
      if (r == MMSYSERR_NOERROR) NoteGiven(header);
      return r;
    }
    if (!(header.dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (header.dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    held_.push_back(&header);
    return MMSYSERR_NOERROR;
  }

  unsigned Pause() override {
    if (device_ == nullptr) return MMSYSERR_INVALHANDLE;
    MMRESULT r = ::waveOutPause(device_);
    if (r == MMSYSERR_NOERROR) paused_ = true;
    return r;
  }

  unsigned Restart() override {
    if (device_ == nullptr) return MMSYSERR_INVALHANDLE;
    MMRESULT r = ::waveOutRestart(device_);
    if (paused_) {
      paused_ = false;
      // The position stood still while paused: measured afresh from here.
      fit_ = {};
      fitZeroNs_ = 0;
      Flush();
    }
    return r;
  }

  unsigned RestartAt(std::int64_t realtimeNs) override {
    if (device_ == nullptr) return MMSYSERR_INVALHANDLE;
    if (realtimeNs <= 0) return MMSYSERR_INVALPARAM;
    // The silence must play before every queued buffer.
    if (!paused_ || held_.empty() || SystemHoldsBuffers()) return MMSYSERR_NOERROR;
    const std::int64_t lead = realtimeNs - GetSystemTimeNanoseconds();
    if (lead < kMinLeadNs || lead > kMaxLeadNs) return MMSYSERR_NOERROR;

    ReleaseLeadIn();
    const auto probeSamples = static_cast<std::int64_t>(rate_) * kProbeMs / 1000;
    const std::int64_t writtenNs = GetSystemTimeNanoseconds();
    if (!QueueSilence(probe_, probeSamples)) return MMSYSERR_NOERROR;
    ::waveOutRestart(device_);
    std::int64_t zeroNs = 0;
    std::int64_t rest = -1;
    if (WatchFirstSample(writtenNs, zeroNs)) {
      rest = std::llround(static_cast<double>(realtimeNs - zeroNs) * rate_ / kNsPerSecond) - probeSamples;
    }
    // No usable position, or a device so slow to start that the time is
    // inside the probe: paused again, the buffers wait for Restart.
    if (rest < 0 || (rest > 0 && !QueueSilence(rest_, rest))) {
      ::waveOutPause(device_);
      ::waveOutReset(device_);
      ReleaseLeadIn();
      wraps_ = 0;
      lastRaw_ = 0;
      ForgetGiven();
      return MMSYSERR_NOERROR;
    }
    paused_ = false;
    fit_ = {};
    fitZeroNs_ = zeroNs;
    Flush();
    return MMSYSERR_NOERROR;
  }

  unsigned Reset() override {
    if (device_ == nullptr) return MMSYSERR_INVALHANDLE;
    MMRESULT r = ::waveOutReset(device_);
    // A device that cannot take its buffers back has lost its output (Wine
    // does this when the sound server went away).
    if (r != MMSYSERR_NOERROR) lost_ = r;
    for (WaveHeader* h : held_) h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    if (!held_.empty() && event_) event_->Set();
    held_.clear();
    ReleaseLeadIn();
    wraps_ = 0;
    lastRaw_ = 0;
    ForgetGiven();
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
    if (!ReleaseLeadIn() && lost_ == MMSYSERR_NOERROR) return WAVERR_STILLPLAYING;
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
    std::int64_t samples = 0;
    MMRESULT r = Position(samples);
    // Asked on every poll: the points for the sample clock's rate as well.
    if (r == MMSYSERR_NOERROR && !paused_ && samples > 0) NoteSampleClock(samples);
    return r;
  }

  // waveOut tells how far the device has played, not when a buffer began;
  // the transmitter keeps its seconds on the sample clock here.
  bool LastBufferStart(const WaveHeader*&, std::int64_t&) override { return false; }

  // The position is the sample playing as it is read (under Wine: the one
  // handed on to the sound server, a constant while ahead of it), dated by
  // the clock read around it.
  bool PlayingPosition(const WaveHeader*& header, std::size_t& sample, std::int64_t& realtimeNs) override {
    if (device_ == nullptr || paused_ || given_.empty()) return false;
    const std::int64_t before = GetSystemTimeNanoseconds();
    std::int64_t played = 0;
    if (Position(played) != MMSYSERR_NOERROR || played <= 0) return false;
    const std::int64_t after = GetSystemTimeNanoseconds();
    if (after - before > kClockReadNs) return false;  // held up between the readings: no date
    while (given_.size() > 1 && given_.front().end <= played) given_.pop_front();
    const Given& now = given_.front();
    if (played < now.first || played >= now.end) return false;  // our silence, or run dry
    header = now.header;
    sample = static_cast<std::size_t>(played - now.first);
    realtimeNs = before + (after - before) / 2;
    return true;
  }

  bool SampleClockDrift(SampleClockReading& reading) override {
    const LineFit& fit = device_ != nullptr ? fit_ : lastFit_;
    double slope = 0, error = 0;
    if (fit.maxX < kMinDriftSeconds || !fit.Slope(slope) || !fit.SlopeError(error)) return false;
    reading = {-slope * 1e6, fit.maxX, error * 1e6};
    return true;
  }

 private:
  bool IsHeld(const WaveHeader& header) const {
    return std::find(held_.begin(), held_.end(), &header) != held_.end();
  }
  bool SystemHoldsBuffers() const {
    for (const WaveHeader* h : prepared_) {
      if ((h->dwFlags & WHDR_INQUEUE) && !IsHeld(*h)) return true;
    }
    return (probe_.header.dwFlags & WHDR_INQUEUE) || (rest_.header.dwFlags & WHDR_INQUEUE);
  }

  // The held buffers to the system, in the order they were written.
  void Flush() {
    for (WaveHeader* h : held_) {
      h->dwFlags = h->dwFlags & ~WHDR_INQUEUE;
      if (::waveOutWrite(device_, System(*h), sizeof(WAVEHDR)) == MMSYSERR_NOERROR) NoteGiven(*h);
    }
    held_.clear();
  }

  // Where each buffer given to the system lies in the samples counted by
  // the position, which runs from the open or the last reset.
  void NoteGiven(WaveHeader& header) {
    const std::int64_t samples = header.dwBufferLength / blockAlign_;
    given_.push_back({&header, givenSamples_, givenSamples_ + samples});
    givenSamples_ += samples;
  }
  void ForgetGiven() {
    given_.clear();
    givenSamples_ = 0;
  }

  bool QueueSilence(LeadIn& lead, std::int64_t samples) {
    lead.samples.assign(static_cast<std::size_t>(samples), 0);
    lead.header = WAVEHDR{};
    lead.header.lpData = reinterpret_cast<LPSTR>(lead.samples.data());
    lead.header.dwBufferLength = static_cast<DWORD>(samples * 2);
    if (::waveOutPrepareHeader(device_, &lead.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
    if (::waveOutWrite(device_, &lead.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
      ::waveOutUnprepareHeader(device_, &lead.header, sizeof(WAVEHDR));
      return false;
    }
    givenSamples_ += samples;
    return true;
  }

  // Unprepares our silence once the system is done with it; false while
  // some of it is still queued.
  bool ReleaseLeadIn() {
    bool released = true;
    for (LeadIn* lead : {&probe_, &rest_}) {
      if (!(lead->header.dwFlags & WHDR_PREPARED)) continue;
      if (::waveOutUnprepareHeader(device_, &lead->header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) released = false;
    }
    return released;
  }

  // Samples played since the open or the last reset, past the 32 bits the
  // system counts in.
  MMRESULT Position(std::int64_t& samples) {
    MMTIME position{};
    position.wType = TIME_SAMPLES;
    MMRESULT r = ::waveOutGetPosition(device_, &position, sizeof position);
    if (r != MMSYSERR_NOERROR) return r;
    if (position.wType != TIME_SAMPLES) {
      samples = 0;
      return r;
    }
    if (position.u.sample < lastRaw_) wraps_ += std::int64_t{1} << 32;
    lastRaw_ = position.u.sample;
    samples = wraps_ + position.u.sample;
    return r;
  }

  // When the probe's first sample left the device: the position is the
  // sample playing now, so each reading dates sample 0; the earliest is
  // the one least delayed by this thread. A position that dates it before
  // it was written counts samples handed on, not played (Wine's, which
  // runs a sound server's buffer ahead): no timing to go by.
  bool WatchFirstSample(std::int64_t writtenNs, std::int64_t& zeroNs) {
    const std::int64_t begun = GetSystemTimeNanoseconds();
    std::int64_t movedAt = 0;
    zeroNs = INT64_MAX;
    for (;;) {
      std::int64_t samples = 0;
      if (Position(samples) != MMSYSERR_NOERROR) return false;
      const std::int64_t now = GetSystemTimeNanoseconds();
      if (samples > 0) {
        if (movedAt == 0) movedAt = now;
        zeroNs = std::min(zeroNs, now - std::llround(static_cast<double>(samples) * kNsPerSecond / rate_));
        if (zeroNs < writtenNs - kClockReadNs) return false;
        if (now - movedAt >= kWatchMs * 1000000LL) return true;
      } else if (now - begun > kFirstMoveWithinNs) {
        return false;
      }
      ::Sleep(1);
    }
  }

  // x: nominal seconds played, y: how far the system clock ran ahead of
  // them; the slope is the sample clock's rate against the system clock.
  void NoteSampleClock(std::int64_t samples) {
    const std::int64_t now = GetSystemTimeNanoseconds();
    if (lastPointNs_ != 0 && now - lastPointNs_ < kDriftPointNs) return;
    lastPointNs_ = now;
    const double x = static_cast<double>(samples) / rate_;
    if (fitZeroNs_ == 0) fitZeroNs_ = now - std::llround(x * kNsPerSecond);
    fit_.Add(x, static_cast<double>(now - fitZeroNs_) / kNsPerSecond - x);
  }

  void Forget() {
    lastFit_ = fit_;
    fit_ = {};
    held_.clear();
    ForgetGiven();
    paused_ = false;
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
  unsigned rate_ = 0;
  bool paused_ = false;
  std::vector<WaveHeader*> held_;  // written while paused, in order
  struct Given {
    WaveHeader* header;
    std::int64_t first, end;  // its samples in the position's count
  };
  std::deque<Given> given_;  // given to the system since the last reset, in order
  std::int64_t givenSamples_ = 0;
  unsigned blockAlign_ = 2;
  LeadIn probe_, rest_;
  std::int64_t wraps_ = 0;
  DWORD lastRaw_ = 0;
  LineFit fit_, lastFit_;  // of the open stream, of the one closed last
  std::int64_t fitZeroNs_ = 0;  // when sample 0 left the device
  std::int64_t lastPointNs_ = 0;
};

}  // namespace

std::unique_ptr<WaveOutDevice> CreateWaveOutDevice() { return std::make_unique<WinMmWaveOut>(); }

}  // namespace platform
