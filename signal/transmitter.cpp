#include "signal/transmitter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>

#include "signal/frame_audio.h"
#include "signal/station_table.h"
#include "signal/station_audio.h"
#include "signal/time_base.h"

namespace {

// A second in nanoseconds, for the arithmetic in doubles.
constexpr double kSecondNs = static_cast<double>(platform::kNanosecondsPerSecond);

constexpr int kQuitWaitMs = 2000;
constexpr int kArmedPollMs = 10;
constexpr unsigned kNoCountdown = 999;
// How long past the expected end of the playing buffer a device may stay
// without finishing it before it counts as stopped. Generous: a working
// device is late by milliseconds, and a false alarm ends the transmission.
constexpr platform::Time64 kStallMarginSeconds = 20;
// A buffer that begins further than this from its second plays a time that
// is not its own (the output stalled and went on): the transmission starts
// again on a boundary.
constexpr std::int64_t kOffTimeNs = 50000000;
// The output is watched at every poll as well: what plays further than this
// from its instant is a time not its own, which a watch would take; a
// silent second it rejects. A working device keeps within a few ms. Two
// readings in a row must say so: one odd report of the sound system is no stall.
constexpr std::int64_t kDriftedNs = 15000000;
constexpr int kDriftedReadings = 2;
// Where the device tells only its position, its readings scatter more and
// date no play: they may move this far from where they began, and only so
// many in a row over this long a time are the output's own. A position
// that runs ahead of the play (Wine's counts what it handed on to a sound
// server) may also fall back by as much without the output being late: it
// lags where Wine fell behind while the server played on from its buffer.
constexpr std::int64_t kReadDriftedNs = kOffTimeNs;
constexpr std::int64_t kReadDriftedForNs = 250000000;
// Where the output's sample clock runs off the system clock, each piece
// gains or loses at most this many samples per 1000 per second of rate
// (10 ms) at its end, which no watch looks at.
constexpr unsigned kMaxAdjustPerMille = 10;
constexpr std::size_t kMaxAdjustSamples = kMaxSampleRate * kMaxAdjustPerMille / 1000;  // at the highest rate
// A slot holds a piece at the highest rate for the fastest sample clock, and
// the samples added at its end.
constexpr std::size_t kSlotSamples = ClockedSamplesBound(kPieceSeconds, kMaxSampleRate) + kMaxAdjustSamples;
// The device's sample clock, as it measures it against the system clock,
// is taken into use once the figure rests on this much playing and is
// known this well; one beyond kMaxSampleClockPpm is no sound device's but a
// stall, and is never used. Each figure is a fit over all the playing so
// far, and so already smooth; the one in use follows it by at most
// kMaxClockStepPpm a piece: a sound device's clock drifts slowly, and a
// figure that jumps was thrown by the sound system's own reports.
constexpr double kMinClockSeconds = 10;
constexpr double kMaxClockUncertaintyPpm = 5;
constexpr double kMaxSampleClockPpm = 1000;
constexpr double kMaxClockStepPpm = 25;
// A queued piece is made again for the sample clock only while this much of
// the one before it is left to play: ample time to make it.
constexpr std::size_t kRemakeMarginSeconds = 5;
// After a stall, the new start at the first boundary at least this far ahead.
constexpr platform::Time64 kRestartLeadSeconds = 2;

// Seconds that only move forward and do not jump with the wall clock, so
// that neither a clock change nor a suspended machine looks like a device
// that stopped playing.
class SteadyClock final : public platform::Clock {
 public:
  platform::Time64 Now() const override {
    using namespace std::chrono;
    return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
  }
};

enum class State { kIdle, kArmed, kTransmitting };

// One buffer slot: a wave header, the buffer it plays, and what is in it.
struct Slot {
  platform::WaveHeader header;
  std::unique_ptr<std::int16_t[]> samples;
  platform::Time64 pieceStart = 0;  // the second it begins (after its lead)
  int adjust = 0;                   // samples added (dropped) at its end
  std::size_t lead = 0;             // samples before that second, which end the one before
  double ratio = 1;                 // the device's samples a second it was made for, per nominal one
};

// How far past the start of the second a start is handled in the first frame
// boundary lies at the least: four whole seconds.
constexpr platform::Time64 kStartLeadSeconds = 5;

// Where the first frame starts for a start handled at second s of minute M,
// as an offset from M: the first boundary of the station's frames (which
// begin on multiples of their length within the minute) at least
// kStartLeadSeconds ahead.
platform::Time64 FirstBoundaryOffset(int s, unsigned frameSeconds) {
  const platform::Time64 frame = frameSeconds;
  return (s + kStartLeadSeconds + frame - 1) / frame * frame;
}

class Transmitter {
 public:
  Transmitter(TransmitterContext& ctx, platform::WaveOutDevice& device, const platform::Clock& clock,
              const platform::Clock& watchClock)
      : ctx_(ctx), device_(device), time_(clock, 0), clock_(clock), watchClock_(watchClock) {}

  int Run();

 private:
  void Post(TransmitterStatus status, LPARAM value) {
    if (ctx_.pReports != nullptr) {
      ctx_.pReports->Report(status, value);
    } else if (ctx_.hDialogWnd != 0) {
      PostMessage(ctx_.hDialogWnd, WM_TX_STATUS, status, value);
    }
  }
  bool Allocate();
  void OnStop() { EndTransmission(kTxStopped, 0); }
  void EndTransmission(TransmitterStatus status, LPARAM value);
  bool EndIfDeviceFailed();
  void WatchNextBuffer() { silentAfter_ = watchClock_.Now() + kPieceSeconds + kStallMarginSeconds; }
  void OnStart();
  void OnTimeout();
  void OnDeviceEvent();
  void CloseDevice();
  void FillAndQueue(Slot& slot, int adjust);
  void Arm(platform::Time64 boundary);
  int Correction(std::int64_t errorNs, const Slot& finished, const Slot& playing);
  int ClockedCorrection(std::int64_t errorNs, const Slot& playing) const;
  bool MeasuredSampleClock(double& ppm);
  void FollowSampleClock();
  void SetNominalPhase(platform::Time64 at, std::int64_t shift);
  void RemakeForSampleClock();
  void UseSampleClock(double ppm);
  void StartAgainAfterAStall();
  void WatchPosition();
  void FollowReadings(std::int64_t offNs, std::int64_t atNs);
  void Announce();
  void CountSent(const Slot& finished);

  TransmitterContext& ctx_;
  platform::WaveOutDevice& device_;
  TimeBase time_;  // the system clock, moved by the start's offset
  const platform::Clock& clock_;
  const platform::Clock& watchClock_;

  platform::EventHandle deviceEvent_;
  Slot slots_[2];
  State state_ = State::kIdle;
  int timeout_ = platform::kInfinite;
  unsigned rate_ = 0;
  const Station* station_ = &kStations[0];
  double frequency_ = 0;             // the tone's, or the carrier's
  bool clocked_ = false;             // made for the device's sample clock (synth_)
  ClockedSynthesis synth_;
  double ppmInUse_ = 0;              // its clock's figure, while clocked_
  bool ppmPosted_ = false;           // a figure was posted since the start
  double ppmLastPosted_ = 0;
  platform::Time64 anchor_ = 0;      // a frame boundary: the frames follow on from it
  platform::Time64 boundary_ = 0;    // where the armed transmission begins
  platform::Time64 pieceStart_ = 0;  // the first second of the 20 synthesised last
  std::int64_t phaseShift_ = 0;      // samples added so far, which the phase runs on by
  bool measured_ = false;            // lastErrorNs_ holds a measurement
  std::int64_t lastErrorNs_ = 0;     // how late the buffer measured last began
  int nextSlot_ = 0;        // the slot that plays first, so finishes next
  int n_ = 0;
  bool announced_ = true;            // n_ was posted
  int drifted_ = 0;                  // readings in a row off their instant
  std::int64_t driftedSinceNs_ = 0;  // when the first of them was taken
  std::int64_t lastPositionNs_ = 0;  // the reading taken last
  // A device that tells no play times: where its readings lie since the
  // start, and when the last of them was taken.
  bool baselineSet_ = false;
  std::int64_t baselineNs_ = 0;
  std::int64_t baselineAtNs_ = 0;
  std::int64_t readLimitNs_ = 0;     // how far they may move from it
  platform::Time64 playingSince_ = 0;  // the boundary the output plays on time from
  int framesSent_ = 0;               // whole and on time, since the start
  int stalls_ = 0;
  unsigned lastCountdown_ = kNoCountdown;
  // While transmitting: the watch clock's time past which the device, not
  // having finished its playing buffer, counts as stopped.
  platform::Time64 silentAfter_ = 0;
};

bool Transmitter::Allocate() {
  deviceEvent_ = platform::CreateEvent();
  if (!deviceEvent_) return false;
  for (Slot& slot : slots_) {
    slot.samples.reset(new (std::nothrow) std::int16_t[kSlotSamples]);
    if (!slot.samples) return false;
  }
  return true;
}

int Transmitter::Run() {
  if (device_.GetNumDevs() == 0) {
    Post(kTxNoDevice, 0);
    return 0;
  }
  std::uint32_t formats = 0;
  if (device_.GetDevCaps(formats) == platform::MMSYSERR_NOERROR) Post(kTxCapabilities, static_cast<LPARAM>(formats));
  if (!Allocate()) {
    // Without its buffers the thread can never transmit, the same outcome
    // for the user as a missing device.
    Post(kTxNoDevice, 0);
    return 0;
  }

  const platform::Event* waitSet[] = {ctx_.hQuitEvent.get(), ctx_.hStopEvent.get(), ctx_.hStartEvent.get(),
                                      deviceEvent_.get()};
  for (;;) {
    switch (platform::WaitForEvents(waitSet, 4, timeout_)) {
      case 0:  // quit
        if (state_ != State::kIdle) CloseDevice();
        deviceEvent_.reset();
        for (Slot& slot : slots_) slot.samples.reset();
        ctx_.hExitedEvent->Set();
        return 100;
      case 1:
        OnStop();
        break;
      case 2:
        OnStart();
        break;
      case 3:
        OnDeviceEvent();
        break;
      default:  // time-out, or a failed wait
        OnTimeout();
        break;
    }
  }
}

void Transmitter::CloseDevice() {
  device_.Reset();
  for (Slot& slot : slots_) device_.UnprepareHeader(slot.header);
  device_.Close();
}

void Transmitter::EndTransmission(TransmitterStatus status, LPARAM value) {
  if (state_ != State::kIdle) CloseDevice();
  state_ = State::kIdle;
  Post(status, value);
  timeout_ = platform::kInfinite;
  // Drops the completions that the reset and the close signalled.
  deviceEvent_->Reset();
  lastCountdown_ = kNoCountdown;
}

// A device that broke down finishes no buffer more: the transmission ends
// instead of counting on over silence.
bool Transmitter::EndIfDeviceFailed() {
  unsigned error = device_.StreamError();
  if (error == platform::MMSYSERR_NOERROR) return false;
  EndTransmission(kTxDeviceFailed, static_cast<LPARAM>(error));
  return true;
}

void Transmitter::FillAndQueue(Slot& slot, int adjust) {
  const platform::Time64 frameSeconds = station_->frameSeconds;
  const platform::Time64 frameStart = anchor_ + FloorTo(pieceStart_ - anchor_, frameSeconds);
  const auto first = static_cast<unsigned>(pieceStart_ - frameStart);
  std::size_t samples = 0;
  slot.lead = 0;
  if (clocked_) {
    samples = BuildClockedStationAudio(*station_, frequency_, frameStart, first, kPieceSeconds, rate_, synth_,
                                       slot.samples.get(), adjust);
    if (adjust > 0) slot.lead = static_cast<std::size_t>(adjust);
  } else {
    samples = BuildStationAudio(*station_, frequency_, frameStart, first, kPieceSeconds, rate_, slot.samples.get(),
                                phaseShift_, adjust);
    phaseShift_ += adjust;
  }
  slot.pieceStart = pieceStart_;
  slot.adjust = adjust;
  slot.ratio = clocked_ ? std::clamp(synth_.ratio, 2 - kMaxClockRatio, kMaxClockRatio) : 1.0;
  slot.header.dwBufferLength = static_cast<std::uint32_t>(samples * 2);
  device_.Write(slot.header);
}

// Queues the two pieces from the boundary on the paused device.
void Transmitter::Arm(platform::Time64 boundary) {
  boundary_ = boundary;
  pieceStart_ = boundary;
  playingSince_ = boundary;
  phaseShift_ = 0;
  measured_ = false;
  drifted_ = 0;
  lastPositionNs_ = 0;
  baselineSet_ = false;
  SetNominalPhase(boundary, 0);
  FillAndQueue(slots_[0], 0);
  pieceStart_ += kPieceSeconds;
  FillAndQueue(slots_[1], 0);
  nextSlot_ = 0;
  lastCountdown_ = kNoCountdown;
  state_ = State::kArmed;
  timeout_ = kArmedPollMs;
}

// The samples to add at the end of the piece queued now, so that the one
// after it begins on its second. The playing piece began errorNs late; each
// piece moves its successor by the sample clock's drift, estimated from
// the last two measurements, and by what was added to it.
int Transmitter::Correction(std::int64_t errorNs, const Slot& finished, const Slot& playing) {
  const double nsPerSample = kSecondNs / rate_;
  double driftNs = 0;
  if (measured_) driftNs = static_cast<double>(errorNs - lastErrorNs_) - finished.adjust * nsPerSample;
  measured_ = true;
  lastErrorNs_ = errorNs;
  const double wanted = -(static_cast<double>(errorNs) + 2 * driftNs) / nsPerSample - playing.adjust;
  const double limit = static_cast<double>(rate_) * kMaxAdjustPerMille / 1000;
  return static_cast<int>(std::lround(std::clamp(wanted, -limit, limit)));
}

// The same with the device's sample clock known: the piece queued now
// begins when the playing one, whose seconds began errorNs late, has played
// the rest of its samples at the clock's rate. Early, it begins with the
// samples it lacks, and so on time; late, it ends without those it has too
// many, and the one after it is on time.
int Transmitter::ClockedCorrection(std::int64_t errorNs, const Slot& playing) const {
  const double samplesPerSecond = rate_ * synth_.ratio;
  const double playingSeconds = static_cast<double>(playing.header.dwBufferLength / 2 - playing.lead) / samplesPerSecond;
  const double nextLate = static_cast<double>(errorNs) / kSecondNs + playingSeconds - static_cast<double>(kPieceSeconds);
  const double wanted = -nextLate * samplesPerSecond;
  const double limit = static_cast<double>(rate_) * kMaxAdjustPerMille / 1000;
  return static_cast<int>(std::lround(std::clamp(wanted, -limit, limit)));
}

// The device's measured sample clock, where its figure is fit for use.
bool Transmitter::MeasuredSampleClock(double& ppm) {
  // A device that tells no play times (waveOut) has its figure from its
  // position alone, which under Wine broke the first piece made for it:
  // there the sound stays nominal unless the figure is given.
  if (!device_.TellsPlayTimes()) return false;
  platform::SampleClockReading reading;
  if (!device_.SampleClockDrift(reading)) return false;
  if (reading.seconds < kMinClockSeconds || !(reading.uncertaintyPpm <= kMaxClockUncertaintyPpm) ||
      !(std::fabs(reading.ppm) <= kMaxSampleClockPpm)) {
    return false;
  }
  ppm = reading.ppm;
  return true;
}

// Takes the device's measured sample clock into use, or closer to it.
void Transmitter::FollowSampleClock() {
  double ppm = 0;
  if (!MeasuredSampleClock(ppm)) return;
  if (clocked_) {
    const double step = std::clamp(ppm - ppmInUse_, -kMaxClockStepPpm, kMaxClockStepPpm);
    UseSampleClock(ppmInUse_ + step);
    return;
  }
  // The tone runs on from where the nominal pieces leave it.
  SetNominalPhase(pieceStart_ + kPieceSeconds, phaseShift_);
  UseSampleClock(ppm);
}

void Transmitter::SetNominalPhase(platform::Time64 at, std::int64_t shift) {
  const platform::Time64 frameStart = anchor_ + FloorTo(at - anchor_, station_->frameSeconds);
  synth_.phase = NominalPhase(frequency_, (at - frameStart) * rate_ + shift, rate_);
  synth_.late = 0;
}

// The figure of the sample clock, known at a poll before it was needed for
// a piece: what is queued and not begun is made again for it, so that at
// most the first piece of a transmission drifts with the device. Armed, the
// pieces are made anew from the boundary, if the device is not yet about
// to start; playing, the piece after the playing one, while enough of that
// is left to make it in.
void Transmitter::RemakeForSampleClock() {
  double ppm = 0;
  if (clocked_ || !MeasuredSampleClock(ppm)) return;
  if (state_ == State::kArmed) {
    if (boundary_ - time_.Now() <= 1) return;  // its start may be scheduled already
    device_.Reset();
    device_.Pause();
    deviceEvent_->Reset();
    UseSampleClock(ppm);
    const unsigned countdown = lastCountdown_;
    Arm(boundary_);
    lastCountdown_ = countdown;
    return;
  }
  const Slot& playing = slots_[nextSlot_];
  Slot& queued = slots_[1 - nextSlot_];
  const platform::WaveHeader* header = nullptr;
  std::size_t sample = 0;
  std::int64_t atNs = 0;
  const platform::WaveHeader* started = nullptr;
  std::int64_t startedNs = 0;
  if (!device_.PlayingPosition(header, sample, atNs) || header != &playing.header ||
      sample + kRemakeMarginSeconds * rate_ > playing.header.dwBufferLength / 2 ||
      !device_.LastBufferStart(started, startedNs) || started != &playing.header) {
    return;
  }
  const std::int64_t errorNs = startedNs - time_.SystemNanosecondsAt(playing.pieceStart);
  if (errorNs > kOffTimeNs || errorNs < -kOffTimeNs || !device_.TakeBack(queued.header)) return;
  SetNominalPhase(queued.pieceStart, phaseShift_ - queued.adjust);
  UseSampleClock(ppm);
  FillAndQueue(queued, ClockedCorrection(errorNs, playing));
}

void Transmitter::UseSampleClock(double ppm) {
  clocked_ = true;
  ppmInUse_ = ppm;
  synth_.ratio = 1 + ppm / 1e6;
  if (!ppmPosted_ || std::fabs(ppm - ppmLastPosted_) >= kSampleClockReportPpm) {
    ppmPosted_ = true;
    ppmLastPosted_ = ppm;
    Post(kTxSampleClock, static_cast<LPARAM>(std::lround(ppm * 10)));
  }
}

// The output stalled and went on: what it plays now is late. The queued
// pieces are dropped and the transmission begins again, from the next
// piece boundary at least a little ahead, with the same countdown.
void Transmitter::StartAgainAfterAStall() {
  device_.Reset();
  device_.Pause();
  deviceEvent_->Reset();
  Post(kTxStalled, ++stalls_);
  const platform::Time64 earliest = time_.Now() + kRestartLeadSeconds;
  platform::Time64 boundary = anchor_ + FloorTo(earliest - anchor_, kPieceSeconds);
  if (boundary < earliest) boundary += kPieceSeconds;
  // BPC's pieces are its frames; the others' pieces begin inside theirs.
  Arm(boundary);
}

void Transmitter::OnStart() {
  if (state_ != State::kIdle) return;  // the dialog starts only from idle
  int rate = ctx_.nSampleRate.load();
  // A frame of any other rate might not fit the buffers.
  if (rate <= 0 || !IsTransmitRate(static_cast<unsigned>(rate))) {
    Post(kTxOpenFailed, platform::WAVERR_BADFORMAT);
    return;
  }
  rate_ = static_cast<unsigned>(rate);
  const Station* station = ctx_.pStation.load();
  station_ = station != nullptr ? station : &kStations[0];
  const bool carrier = ctx_.bCarrier.load();
  if (carrier && !RateCarries(rate_, station_->carrierHz)) {
    Post(kTxOpenFailed, platform::WAVERR_BADFORMAT);
    return;
  }
  frequency_ = SignalFrequency(*station_, carrier);
  unsigned error = device_.Open(FrameAudioFormat(rate_), deviceEvent_);
  if (error != platform::MMSYSERR_NOERROR) {
    Post(kTxOpenFailed, static_cast<LPARAM>(error));
    return;
  }
  for (Slot& slot : slots_) {
    slot.header.lpData = reinterpret_cast<char*>(slot.samples.get());
    slot.header.dwBufferLength = static_cast<std::uint32_t>(FrameBytes(rate_));
    slot.header.dwFlags = 0;
    slot.header.dwLoops = 0;
    device_.PrepareHeader(slot.header);
  }
  device_.Pause();

  time_ = TimeBase(clock_, ctx_.nOffsetNs.load());
  const platform::Time64 startedAt = time_.Now();
  if (station_->localTime) {
    const platform::CivilTime now = platform::ToLocalTime(startedAt);
    if (now.second < 0) {
      // The clock reads beyond the calendar: nothing sensible to send. Give
      // the device back and report the start as failed, so the window
      // returns to idle instead of waiting for a boundary that never comes.
      CloseDevice();
      deviceEvent_->Reset();
      Post(kTxOpenFailed, platform::MMSYSERR_ERROR);
      return;
    }
    // The local minute's start as an instant, never from its wall time,
    // which the hour repeated at the end of summer time names twice.
    boundary_ = startedAt - now.second + FirstBoundaryOffset(now.second, station_->frameSeconds);
  } else {
    // The other stations keep the system clock's UTC minutes.
    const platform::Time64 utcMinute = FloorTo(startedAt, 60);
    boundary_ = utcMinute + FirstBoundaryOffset(static_cast<int>(startedAt - utcMinute), station_->frameSeconds);
  }
  anchor_ = boundary_;
  n_ = 0;
  framesSent_ = 0;
  stalls_ = 0;
  clocked_ = false;
  ppmPosted_ = false;
  const double knownPpm = ctx_.dSampleClockPpm.load();
  if (knownPpm != 0 && std::fabs(knownPpm) <= kMaxSampleClockPpm) UseSampleClock(knownPpm);
  Arm(boundary_);
}

void Transmitter::OnTimeout() {
  if (state_ == State::kIdle || EndIfDeviceFailed()) return;
  if (state_ == State::kTransmitting) {
    if (watchClock_.Now() > silentAfter_) {
      EndTransmission(kTxDeviceFailed, 0);
      return;
    }
    WatchPosition();
    if (state_ != State::kTransmitting) return;
    if (!announced_ && !device_.TellsPlayTimes()) Announce();
    RemakeForSampleClock();
    return;
  }
  RemakeForSampleClock();
  const platform::Time64 now = time_.Now();
  if (now >= boundary_) {
    // Started on time by the schedule below this does nothing; it starts a
    // device that cannot keep a schedule, as soon as the poll sees the
    // boundary.
    device_.Restart();
    WatchNextBuffer();
    ++n_;
    state_ = State::kTransmitting;
    // Where the device tells when its samples play, the first piece is
    // announced once they are seen to play on time.
    announced_ = false;
    if (!device_.TellsPlayTimes()) Announce();
    return;
  }
  const auto left = static_cast<unsigned>(boundary_ - now);
  if (left != lastCountdown_) {
    // A second ahead, so that the device can start its first sample just
    // as the clock enters the boundary second, past its own latency.
    if (left == 1) device_.RestartAt(time_.SystemNanosecondsAt(boundary_));
    Post(kTxCountdown, static_cast<LPARAM>(left));
    lastCountdown_ = left;
  }
}

void Transmitter::OnDeviceEvent() {
  if (state_ == State::kIdle || EndIfDeviceFailed()) return;
  // Signals from open and close, and completions before transmission
  // begins, carry nothing to do.
  if (state_ != State::kTransmitting) return;
  Slot& slot = slots_[nextSlot_];
  if (!(slot.header.dwFlags & platform::WHDR_DONE)) return;
  const Slot& playing = slots_[1 - nextSlot_];
  const platform::WaveHeader* started = nullptr;
  std::int64_t startedNs = 0;
  const bool timed = device_.LastBufferStart(started, startedNs) && started == &playing.header;
  const std::int64_t leadNs = std::llround(static_cast<double>(playing.lead) * kSecondNs / (rate_ * synth_.ratio));
  const std::int64_t errorNs = timed ? startedNs + leadNs - time_.SystemNanosecondsAt(playing.pieceStart) : 0;
  if (errorNs > kOffTimeNs || errorNs < -kOffTimeNs) {
    StartAgainAfterAStall();
    return;
  }
  CountSent(slot);
  FollowSampleClock();
  int adjust = 0;
  if (timed) adjust = clocked_ ? ClockedCorrection(errorNs, playing) : Correction(errorNs, slot, playing);
  WatchNextBuffer();
  pieceStart_ += kPieceSeconds;
  FillAndQueue(slot, adjust);
  nextSlot_ = 1 - nextSlot_;
  ++n_;
  announced_ = false;
  Announce();
}

void Transmitter::Announce() {
  announced_ = true;
  Post(kTxTransmitting, n_);
}

// The piece finished whole, and no reading found it off its seconds (that
// would have started the transmission again): its frame is sent once its
// last piece is, all of them played since the output was last on time.
void Transmitter::CountSent(const Slot& finished) {
  const platform::Time64 frameSeconds = station_->frameSeconds;
  const platform::Time64 frameStart = anchor_ + FloorTo(finished.pieceStart - anchor_, frameSeconds);
  if (finished.pieceStart + kPieceSeconds != frameStart + frameSeconds || frameStart < playingSince_) return;
  Post(kTxFrameSent, ++framesSent_);
}

// Where the playing piece is against its seconds, at every poll: a stall
// shows here as soon as the sound system goes on, not only at the piece's end.
void Transmitter::WatchPosition() {
  const platform::WaveHeader* header = nullptr;
  std::size_t sample = 0;
  std::int64_t atNs = 0;
  if (!device_.PlayingPosition(header, sample, atNs) || atNs == lastPositionNs_) return;
  // Only the playing slot's reading counts: the other may be refilled already.
  const Slot& playing = slots_[nextSlot_];
  if (header != &playing.header) return;
  lastPositionNs_ = atNs;
  const double perSecond = rate_ * playing.ratio;
  const double fromPieceStart = (static_cast<double>(sample) - static_cast<double>(playing.lead)) / perSecond;
  const std::int64_t dueNs = time_.SystemNanosecondsAt(playing.pieceStart) + std::llround(fromPieceStart * kSecondNs);
  std::int64_t offNs = atNs - dueNs;
  std::int64_t limitNs = kDriftedNs;
  if (!device_.TellsPlayTimes()) {
    // The time a position was read, not when its sample plays: how far the
    // readings move from the first ones after the start is what counts.
    if (!baselineSet_) {
      baselineSet_ = true;
      baselineNs_ = offNs;
      baselineAtNs_ = atNs;
      readLimitNs_ = kReadDriftedNs + std::max<std::int64_t>(-offNs, 0);
    }
    offNs -= baselineNs_;
    limitNs = readLimitNs_;
  }
  if (offNs <= limitNs && offNs >= -limitNs) {
    drifted_ = 0;
    if (!announced_) Announce();
    if (baselineSet_) FollowReadings(offNs, atNs);
    return;
  }
  if (drifted_++ == 0) driftedSinceNs_ = atNs;
  const bool held = device_.TellsPlayTimes() ? drifted_ >= kDriftedReadings : atNs - driftedSinceNs_ >= kReadDriftedForNs;
  if (held) StartAgainAfterAStall();
}

// The readings' baseline follows them as fast as any sample clock can
// drift, no faster: a stall moves them at once.
void Transmitter::FollowReadings(std::int64_t offNs, std::int64_t atNs) {
  const std::int64_t sinceNs = std::max<std::int64_t>(atNs - baselineAtNs_, 0);
  baselineAtNs_ = atNs;
  const auto stepNs = static_cast<std::int64_t>(static_cast<double>(sinceNs) * kMaxSampleClockPpm / 1e6);
  baselineNs_ += std::clamp(offNs, -stepNs, stepNs);
}

}  // namespace

int TransmitterThreadProc(TransmitterContext* ctx) {
  platform::SystemClock systemClock;
  SteadyClock steadyClock;
  const platform::Clock& clock = ctx->pClock != nullptr ? *ctx->pClock : systemClock;
  const platform::Clock& watchClock = ctx->pClock != nullptr ? *ctx->pClock : steadyClock;
  std::unique_ptr<platform::WaveOutDevice> ownDevice;
  platform::WaveOutDevice* device = ctx->pDevice;
  if (device == nullptr) {
    ownDevice = platform::CreateWaveOutDevice();
    device = ownDevice.get();
  }
  return Transmitter(*ctx, *device, clock, watchClock).Run();
}

int StartTransmitterThread(TransmitterContext* ctx) {
  if (ctx->hThread.IsRunning()) return 0;
  ctx->hQuitEvent = platform::CreateEvent();
  ctx->hStopEvent = platform::CreateEvent();
  ctx->hStartEvent = platform::CreateEvent();
  ctx->hExitedEvent = platform::CreateEvent();
  if (!ctx->hQuitEvent || !ctx->hStopEvent || !ctx->hStartEvent || !ctx->hExitedEvent) return 0;
  return ctx->hThread.Start([ctx] { TransmitterThreadProc(ctx); }) ? 1 : 0;
}

int StopTransmitterThread(TransmitterContext* ctx) {
  if (ctx->hQuitEvent) ctx->hQuitEvent->Set();
  // The thread ends just after it sets hExitedEvent, so waiting for its end
  // covers both, and returns at once when it ended early (no device).
  if (ctx->hThread.Join(kQuitWaitMs)) {
    ctx->hQuitEvent.reset();
    ctx->hStopEvent.reset();
    ctx->hStartEvent.reset();
    ctx->hExitedEvent.reset();
  } else {
    // A thread stuck in the sound system still uses the events: they stay
    // with the context until the process ends rather than being closed
    // under it.
    ctx->hThread.Detach();
  }
  return 1;
}
