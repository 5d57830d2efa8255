// Wave-in: mono samples from the default sound input (what waveIn* gives
// on Windows), each block dated on the system clock, so that a listener can
// tell when what it hears arrived and where the input stalled.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/event.h"
#include "platform/wave_out.h"  // the result codes

namespace platform {

// Samples captured one after the other, without a gap between them.
struct CapturedBlock {
  // When the first of them reached the input, on CLOCK_REALTIME
  // (nanoseconds since the epoch), at the latest: the time they were handed
  // over less their length.
  std::int64_t firstNs = 0;
  std::vector<float> samples;
};

class WaveInDevice {
 public:
  virtual ~WaveInDevice() = default;

  // Opens the default input device, mono at `rate`, and starts capturing.
  // The event is signalled whenever samples have come in and when the
  // stream breaks down. 0 on success, an MMSYSERR_/WAVERR_ code otherwise.
  virtual unsigned Open(unsigned rate, EventHandle event) = 0;
  // Moves what has come in since the last call to the end of `blocks`. What
  // is not taken for more than some seconds is dropped, oldest first (the
  // dates show the gap).
  virtual void Take(std::vector<CapturedBlock>& blocks) = 0;
  // 0 while capturing; nonzero once the stream has broken down for good
  // (the device went away).
  virtual unsigned StreamError() = 0;
  // Stops capturing; does not hang on a sound system that stopped answering.
  virtual void Close() = 0;
};

// The system's default input device (through PortAudio; waveIn on
// Windows). Closed when destroyed.
std::unique_ptr<WaveInDevice> CreateWaveInDevice();

}  // namespace platform
