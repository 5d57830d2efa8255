// What the sound output and the sound input share over PortAudio (Linux):
// a balanced initialisation, a stream's start, and its end that does not
// hang on a sound server that stopped answering.
#pragma once

#include <portaudio.h>

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

// CLOCK_REALTIME in nanoseconds since the epoch; 0 when it cannot be read.
std::int64_t RealtimeNowNs();

}  // namespace platform
