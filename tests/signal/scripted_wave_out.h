// A wave-out device driven by the test instead of a sound card, a clock the
// test sets, and a window that records posted statuses: together they let
// the transmitter thread run deterministically.
#pragma once


#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/local_time.h"
#include "platform/wave_out.h"
#include "platform/window_messages.h"

namespace tx_test {

// Long enough never to fire on a working thread; only a hung thread hits it.
constexpr auto kPatience = std::chrono::seconds(20);

class ScriptedWaveOut final : public platform::WaveOutDevice {
 public:
  // The script, set before the thread starts.
  unsigned numDevs = 1;
  unsigned capsResult = platform::MMSYSERR_NOERROR;
  std::uint32_t formats = platform::WAVE_FORMAT_48M16;
  std::atomic<unsigned> openResult{platform::MMSYSERR_NOERROR};
  // A device that keeps its schedule starts when the time comes; the script
  // lets that be at once.
  std::atomic<bool> keepsSchedule{false};
  // A device that tells when its samples play (see TellPosition).
  std::atomic<bool> tellsPlayTimes{false};

  unsigned GetNumDevs() override {
    Record("numdevs");
    return numDevs;
  }
  unsigned GetDevCaps(std::uint32_t& f) override {
    Record("caps");
    if (capsResult == platform::MMSYSERR_NOERROR) f = formats;
    return capsResult;
  }
  unsigned Open(const platform::WaveFormat& format, platform::EventHandle event) override {
    std::lock_guard lock(mutex_);
    calls_.push_back("open " + std::to_string(format.nSamplesPerSec));
    cv_.notify_all();
    if (open_) return platform::MMSYSERR_ALLOCATED;
    if (openResult != platform::MMSYSERR_NOERROR) return openResult;
    open_ = true;
    paused_ = false;
    event_ = std::move(event);
    if (event_) event_->Set();
    return platform::MMSYSERR_NOERROR;
  }
  unsigned PrepareHeader(platform::WaveHeader& h) override {
    Record("prepare");
    h.dwFlags |= platform::WHDR_PREPARED;
    return 0;
  }
  unsigned UnprepareHeader(platform::WaveHeader& h) override {
    Record("unprepare");
    if (h.dwFlags & platform::WHDR_INQUEUE) return platform::WAVERR_STILLPLAYING;
    h.dwFlags &= ~platform::WHDR_PREPARED;
    return 0;
  }
  unsigned Write(platform::WaveHeader& h) override {
    std::unique_lock lock(mutex_);
    ++writesEntered_;
    cv_.notify_all();
    cv_.wait(lock, [&] { return !holdWrites_; });
    calls_.push_back("write");
    if (!open_) return platform::MMSYSERR_INVALHANDLE;
    h.dwFlags = (h.dwFlags & ~platform::WHDR_DONE) | platform::WHDR_INQUEUE;
    queue_.push_back(&h);
    cv_.notify_all();
    return 0;
  }
  unsigned Pause() override {
    std::lock_guard lock(mutex_);
    calls_.push_back("pause");
    paused_ = true;
    return 0;
  }
  unsigned Restart() override {
    std::lock_guard lock(mutex_);
    calls_.push_back("restart");
    paused_ = false;
    cv_.notify_all();
    return 0;
  }
  // Recorded with the time in whole seconds (the boundaries are whole).
  // Otherwise the device stays paused, as one without timing does.
  unsigned RestartAt(std::int64_t realtimeNs) override {
    std::lock_guard lock(mutex_);
    calls_.push_back("restart at " + std::to_string(realtimeNs / 1000000000) +
                     (realtimeNs % 1000000000 != 0 ? "+" + std::to_string(realtimeNs % 1000000000) + "ns" : ""));
    if (keepsSchedule) paused_ = false;
    cv_.notify_all();
    return 0;
  }
  bool LastBufferStart(const platform::WaveHeader*& header, std::int64_t& realtimeNs) override {
    std::lock_guard lock(mutex_);
    if (lastStarted_ == nullptr) return false;
    header = lastStarted_;
    realtimeNs = lastStartedNs_;
    return true;
  }
  bool PlayingPosition(const platform::WaveHeader*& header, std::size_t& sample, std::int64_t& ns) override {
    std::lock_guard lock(mutex_);
    if (!positionTold_ || queue_.empty()) return false;
    header = queue_.front();
    sample = positionSample_;
    ns = positionNs_;
    return true;
  }
  bool TellsPlayTimes() override { return tellsPlayTimes; }
  // Only a buffer queued behind the playing one is sure not to have begun.
  bool TakeBack(platform::WaveHeader& h) override {
    std::lock_guard lock(mutex_);
    calls_.push_back("take back");
    if (queue_.size() < 2 || queue_.back() != &h) return false;
    queue_.pop_back();
    h.dwFlags &= ~platform::WHDR_INQUEUE;
    return true;
  }
  bool SampleClockDrift(platform::SampleClockReading& reading) override {
    std::lock_guard lock(mutex_);
    if (!clockMeasured_) return false;
    reading = clock_;
    return true;
  }
  unsigned Reset() override {
    std::lock_guard lock(mutex_);
    calls_.push_back("reset");
    lastStarted_ = nullptr;
    positionTold_ = false;
    for (platform::WaveHeader* h : queue_) h->dwFlags = (h->dwFlags & ~platform::WHDR_INQUEUE) | platform::WHDR_DONE;
    if (!queue_.empty() && event_) event_->Set();
    queue_.clear();
    return 0;
  }
  unsigned Close() override {
    std::lock_guard lock(mutex_);
    calls_.push_back("close");
    cv_.notify_all();
    if (!queue_.empty()) return platform::WAVERR_STILLPLAYING;
    open_ = false;
    streamError_ = platform::MMSYSERR_NOERROR;
    if (event_) event_->Set();
    event_.reset();
    return 0;
  }
  unsigned StreamError() override {
    std::lock_guard lock(mutex_);
    ++streamErrorAsked_;
    cv_.notify_all();
    return open_ ? streamError_ : platform::MMSYSERR_NOERROR;
  }

  // --- what the test does and sees ---

  std::vector<std::string> Calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  int Count(const std::string& call) {
    std::lock_guard lock(mutex_);
    int n = 0;
    for (const auto& c : calls_) n += c == call;
    return n;
  }
  bool WaitForCount(const std::string& call, int count) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, kPatience, [&] {
      int n = 0;
      for (const auto& c : calls_) n += c == call;
      return n >= count;
    });
  }
  bool IsOpen() {
    std::lock_guard lock(mutex_);
    return open_;
  }
  bool IsPaused() {
    std::lock_guard lock(mutex_);
    return paused_;
  }
  // The queued buffers, the one playing first at the front.
  std::vector<platform::WaveHeader*> Queue() {
    std::lock_guard lock(mutex_);
    return {queue_.begin(), queue_.end()};
  }

  // Plays the front buffer to its end, as the sound card would: done flag,
  // then the event. False while paused or with nothing queued. With a time,
  // the device tells that the next buffer began then.
  bool FinishFront(std::int64_t nextStartedNs = 0) {
    std::lock_guard lock(mutex_);
    if (paused_ || queue_.empty()) return false;
    platform::WaveHeader* h = queue_.front();
    queue_.pop_front();
    positionTold_ = false;
    if (nextStartedNs != 0 && !queue_.empty()) {
      lastStarted_ = queue_.front();
      lastStartedNs_ = nextStartedNs;
    }
    h->dwFlags = (h->dwFlags & ~platform::WHDR_INQUEUE) | platform::WHDR_DONE;
    if (event_) event_->Set();
    return true;
  }

  // From now on the device tells that sample `sample` of the front buffer
  // leaves it at ns (until that buffer finishes or a reset); sample 0 is
  // when that buffer began.
  void TellPosition(std::size_t sample, std::int64_t ns) {
    std::lock_guard lock(mutex_);
    if (sample == 0 && !queue_.empty()) {
      lastStarted_ = queue_.front();
      lastStartedNs_ = ns;
    }
    positionTold_ = true;
    positionSample_ = sample;
    positionNs_ = ns;
  }

  // The stream breaks down, as when the sound server goes away: the error
  // from now until the close, and the event.
  void BreakStream(unsigned error) {
    std::lock_guard lock(mutex_);
    streamError_ = error;
    if (event_) event_->Set();
  }

  // True once the thread has asked after the stream again. With no device
  // event pending that is the start of one of its time-outs, so the clock
  // it reads next is the one the test set before.
  bool WaitForPoll() {
    std::unique_lock lock(mutex_);
    const int asked = streamErrorAsked_;
    return cv_.wait_for(lock, kPatience, [&] { return streamErrorAsked_ > asked; });
  }

  // What the device says of its sample clock from now on (nothing again
  // once forgotten).
  void MeasureSampleClock(platform::SampleClockReading reading) {
    std::lock_guard lock(mutex_);
    clock_ = reading;
    clockMeasured_ = true;
  }
  void ForgetSampleClock() {
    std::lock_guard lock(mutex_);
    clockMeasured_ = false;
  }

  // Signals the device event with nothing finished.
  void SignalOnly() {
    std::lock_guard lock(mutex_);
    if (event_) event_->Set();
  }

  // True once the thread has taken the pending device event.
  bool WaitUntilEventTaken() {
    platform::EventHandle event;
    {
      std::lock_guard lock(mutex_);
      event = event_;
    }
    if (!event) return true;
    auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
      if (!event->TryTake()) return true;
      // Still pending: put it back for the thread and look again shortly.
      event->Set();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }

  // Writes block from now until ReleaseWrites.
  void HoldWrites() {
    std::lock_guard lock(mutex_);
    holdWrites_ = true;
  }
  // True once the thread is inside its count-th write.
  bool WaitForWriteEntered(int count) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, kPatience, [&] { return writesEntered_ >= count; });
  }
  void ReleaseWrites() {
    std::lock_guard lock(mutex_);
    holdWrites_ = false;
    cv_.notify_all();
  }

 private:
  void Record(std::string call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
    cv_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<std::string> calls_;
  std::deque<platform::WaveHeader*> queue_;
  platform::EventHandle event_;
  bool open_ = false;
  bool paused_ = false;
  bool holdWrites_ = false;
  unsigned streamError_ = platform::MMSYSERR_NOERROR;
  int streamErrorAsked_ = 0;
  int writesEntered_ = 0;
  const platform::WaveHeader* lastStarted_ = nullptr;
  std::int64_t lastStartedNs_ = 0;
  bool clockMeasured_ = false;
  platform::SampleClockReading clock_;
  bool positionTold_ = false;
  std::size_t positionSample_ = 0;
  std::int64_t positionNs_ = 0;
};

// Passes every call on to another device: lets an owner that deletes its
// device (the test-signal player) drive one the test keeps and looks at.
class ForwardWaveOut : public platform::WaveOutDevice {
 public:
  explicit ForwardWaveOut(platform::WaveOutDevice& to) : to_(to) {}
  unsigned GetNumDevs() override { return to_.GetNumDevs(); }
  unsigned GetDevCaps(std::uint32_t& f) override { return to_.GetDevCaps(f); }
  unsigned Open(const platform::WaveFormat& f, platform::EventHandle e) override { return to_.Open(f, e); }
  unsigned PrepareHeader(platform::WaveHeader& h) override { return to_.PrepareHeader(h); }
  unsigned UnprepareHeader(platform::WaveHeader& h) override { return to_.UnprepareHeader(h); }
  unsigned Write(platform::WaveHeader& h) override { return to_.Write(h); }
  unsigned Pause() override { return to_.Pause(); }
  unsigned Restart() override { return to_.Restart(); }
  unsigned RestartAt(std::int64_t ns) override { return to_.RestartAt(ns); }
  bool SampleClockDrift(platform::SampleClockReading& r) override { return to_.SampleClockDrift(r); }
  bool LastBufferStart(const platform::WaveHeader*& h, std::int64_t& ns) override { return to_.LastBufferStart(h, ns); }
  unsigned Reset() override { return to_.Reset(); }
  unsigned Close() override { return to_.Close(); }
  unsigned StreamError() override { return to_.StreamError(); }

 private:
  platform::WaveOutDevice& to_;
};

// Whole seconds, and a fraction for the tests that need one.
class VirtualClock final : public platform::Clock {
 public:
  platform::Time64 Now() const override {
    std::lock_guard lock(mutex_);
    return seconds_;
  }
  std::int64_t NowNanoseconds() const override {
    std::lock_guard lock(mutex_);
    return seconds_ * 1000000000 + fractionNs_;
  }
  void Set(platform::Time64 t, std::int64_t fractionNs = 0) {
    std::lock_guard lock(mutex_);
    seconds_ = t;
    fractionNs_ = fractionNs;
  }

 private:
  mutable std::mutex mutex_;
  platform::Time64 seconds_ = 0;
  std::int64_t fractionNs_ = 0;
};

struct Status {
  std::uintptr_t status = 0;
  std::intptr_t value = 0;
  bool operator==(const Status&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Status& s) {
  return os << "status " << s.status << " (" << s.value << ")";
}

// A window that keeps every status posted to it, but for a tally: of that
// status only the last value is kept.
class StatusRecorder {
 public:
  explicit StatusRecorder(unsigned message, std::uintptr_t tallied = 0)
      : handle_(platform::RegisterWindow([this, message, tallied](unsigned m, std::uintptr_t w, std::intptr_t l) {
          if (m != message) return;
          std::lock_guard lock(mutex_);
          if (tallied != 0 && w == tallied) {
            tally_ = l;
            return;
          }
          got_.push_back({w, l});
          cv_.notify_all();
        })) {}
  ~StatusRecorder() { platform::UnregisterWindow(handle_); }
  StatusRecorder(const StatusRecorder&) = delete;
  StatusRecorder& operator=(const StatusRecorder&) = delete;

  platform::WindowHandle handle() const { return handle_; }

  // The next status not yet taken; {0, 0} when none comes.
  Status Next() {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, kPatience, [&] { return taken_ < got_.size(); })) return {};
    return got_[taken_++];
  }
  std::intptr_t Tally() {
    std::lock_guard lock(mutex_);
    return tally_;
  }
  // Statuses posted but not yet taken.
  std::vector<Status> Pending() {
    std::lock_guard lock(mutex_);
    return {got_.begin() + static_cast<std::ptrdiff_t>(taken_), got_.end()};
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<Status> got_;
  std::size_t taken_ = 0;
  std::intptr_t tally_ = 0;
  platform::WindowHandle handle_;  // last: registered once the rest exists
};

}  // namespace tx_test
