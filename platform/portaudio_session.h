// What the sound output and the sound input share over PortAudio (Linux):
// a balanced initialisation, the sound system's clock read beside ours,
// and a stream's end that does not hang on a sound server that stopped
// answering.
#pragma once

#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>

namespace platform {

// One balanced Pa_Initialize / Pa_Terminate. PortAudio counts its
// initialisations but does not guard them; devices may be made on
// different threads (the transmitter's, the window's).
class PortAudioSession {
 public:
  PortAudioSession();
  ~PortAudioSession();
  PortAudioSession(const PortAudioSession&) = delete;
  PortAudioSession& operator=(const PortAudioSession&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

// The MMSYSERR_/WAVERR_ code for a stream that would not open.
unsigned PortAudioOpenErrorCode(PaError error);

// Opens a stream and starts it, with the finished callback: paNoError, or
// the error with nothing left open. `stream` is set before the start, as
// the callbacks may read it; `ending` is set before a failed start's close,
// so that the finished callback takes it for our own.
PaError StartPortAudioStream(const PaStreamParameters* input, const PaStreamParameters* output, double rate,
                             PaStreamFlags flags, PaStreamCallback* callback, PaStreamFinishedCallback* finished,
                             void* user, PaStream*& stream, std::atomic<bool>& ending);

// Stopping and closing a stream wait for the sound server, and one that no
// longer answers (a frozen server) holds them for half a minute or for good.
inline constexpr int kPortAudioTeardownMs = 1000;

// Stops (or aborts) and closes the stream on a thread of its own and waits
// for that kPortAudioTeardownMs only. Past it the thread is left to finish
// alone, keeping the stream's state and the session alive until then, since
// the sound system may still call into the state.
void EndPortAudioStream(PaStream* stream, bool abort, std::shared_ptr<const void> state,
                        std::shared_ptr<PortAudioSession> session);

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

// CLOCK_REALTIME in nanoseconds since the epoch; 0 when it cannot be read.
std::int64_t RealtimeNowNs();

}  // namespace platform
