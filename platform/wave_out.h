// Wave-out: 16-bit PCM buffers played on the default sound output (what
// waveOut* gives on Windows), with the behaviour the transmitter relies on:
// - buffers (headers) queued while the device is paused start only on
//   Restart, and queued buffers play back to back without a gap;
// - RestartAt starts them so that their first sample leaves the device when
//   the system clock reads the given time (when the sound system tells when
//   its samples leave; otherwise only Restart starts them);
// - a paused device consumes nothing;
// - a finished buffer gets the done flag and the device's event is
//   signalled (also on open and on close);
// - Reset returns every queued buffer marked done;
// - a stream that breaks down (the sound server went away) says so through
//   StreamError and signals the event;
// - Close does not hang on a sound system that stopped answering.
// Results are 0 on success and a nonzero code otherwise.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/event.h"

namespace platform {

// Result codes.
inline constexpr unsigned MMSYSERR_NOERROR = 0;
inline constexpr unsigned MMSYSERR_ERROR = 1;
inline constexpr unsigned MMSYSERR_BADDEVICEID = 2;
inline constexpr unsigned MMSYSERR_ALLOCATED = 4;
inline constexpr unsigned MMSYSERR_INVALHANDLE = 5;
inline constexpr unsigned MMSYSERR_NODRIVER = 6;
inline constexpr unsigned MMSYSERR_NOMEM = 7;
inline constexpr unsigned MMSYSERR_INVALPARAM = 11;
inline constexpr unsigned WAVERR_BADFORMAT = 32;
inline constexpr unsigned WAVERR_STILLPLAYING = 33;
inline constexpr unsigned WAVERR_UNPREPARED = 34;

// Header flags.
inline constexpr std::uint32_t WHDR_DONE = 0x1;
inline constexpr std::uint32_t WHDR_PREPARED = 0x2;
inline constexpr std::uint32_t WHDR_INQUEUE = 0x10;

// Capability flags: mono 16-bit at 44.1, 48 and 96 kHz.
inline constexpr std::uint32_t WAVE_FORMAT_4M16 = 0x400;
inline constexpr std::uint32_t WAVE_FORMAT_48M16 = 0x4000;
inline constexpr std::uint32_t WAVE_FORMAT_96M16 = 0x40000;
// Not a system flag (the system's stop at 96 kHz): GetDevCaps adds it when
// the default device opens at 192 kHz mono 16-bit.
inline constexpr std::uint32_t kWaveFormat192M16 = 0x80000000;

inline constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

struct WaveFormat {
  std::uint16_t wFormatTag = WAVE_FORMAT_PCM;
  std::uint16_t nChannels = 1;
  std::uint32_t nSamplesPerSec = 0;
  std::uint32_t nAvgBytesPerSec = 0;
  std::uint16_t nBlockAlign = 2;
  std::uint16_t wBitsPerSample = 16;
  std::uint16_t cbSize = 0;
};

// One buffer handed to the device. The caller owns the header and its data
// and keeps both unchanged while the header is queued (WHDR_INQUEUE).
// dwFlags is written by the device's playback thread, hence atomic.
#ifdef _WIN32
// On Windows the header is the system's own WAVEHDR, member for member, so
// the flags the system sets are the very ones the caller reads.
struct WaveHeader {
  char* lpData = nullptr;
  std::uint32_t dwBufferLength = 0;
  std::uint32_t dwBytesRecorded = 0;
  std::uintptr_t dwUser = 0;
  std::atomic<std::uint32_t> dwFlags{0};
  std::uint32_t dwLoops = 0;
  // The system's bookkeeping.
  WaveHeader* lpNext = nullptr;
  std::uintptr_t reserved = 0;
};
#else
struct WaveHeader {
  char* lpData = nullptr;
  std::uint32_t dwBufferLength = 0;
  std::atomic<std::uint32_t> dwFlags{0};
  std::uint32_t dwLoops = 0;
  // The device's own bookkeeping.
  WaveHeader* lpNext = nullptr;
  std::uint32_t reserved = 0;  // bytes already played
};
#endif

// A device's sample clock against the system clock.
struct SampleClockReading {
  double ppm = 0;          // how much faster it runs, in parts per million
  double seconds = 0;      // over how long a playing it was measured
  double uncertaintyPpm = 0;  // the standard error of ppm
};

// One handle's worth of operations on the default output device. Not
// thread-safe: one thread drives it (the device's playback runs on its own).
class WaveOutDevice {
 public:
  virtual ~WaveOutDevice() = default;

  // Number of output devices.
  virtual unsigned GetNumDevs() = 0;
  // Capability flags of the default device (WAVE_FORMAT_*).
  virtual unsigned GetDevCaps(std::uint32_t& formats) = 0;
  // Opens the default device. The event (may be null) is signalled on
  // open, on close and whenever a buffer is done; the device keeps it until
  // it is closed.
  virtual unsigned Open(const WaveFormat& format, EventHandle callbackEvent) = 0;
  virtual unsigned PrepareHeader(WaveHeader& header) = 0;
  virtual unsigned UnprepareHeader(WaveHeader& header) = 0;
  virtual unsigned Write(WaveHeader& header) = 0;
  virtual unsigned Pause() = 0;
  // Starts at once; a no-op once playing.
  virtual unsigned Restart() = 0;
  // Schedules the start of a paused device: silence up to the sample that
  // leaves the device when CLOCK_REALTIME reads realtimeNs (nanoseconds
  // since the epoch), the queued buffers from it on; at once when that
  // sample is gone already. A device that cannot tell when its samples
  // leave keeps playing silence until Restart. Pause and Reset cancel it.
  virtual unsigned RestartAt(std::int64_t realtimeNs) = 0;
  virtual unsigned Reset() = 0;
  // Fails with WAVERR_STILLPLAYING while buffers are queued. Waits for the
  // sound system only a short while (about a second): one that no longer
  // answers is left to finish the stream by itself, and the device counts
  // as closed.
  virtual unsigned Close() = 0;
  // 0 while the open device plays (and when none is open); a nonzero code
  // once its stream has broken down for good and will finish no buffer more.
  virtual unsigned StreamError() = 0;
  // How much faster the sample clock of the stream played last (the open
  // one, or the one closed last) ran than the system clock, as measured
  // from its open on (the silence while paused counts). False when nothing
  // was measured (no timing from the sound system, or less than a few
  // seconds played).
  virtual bool SampleClockDrift(SampleClockReading& reading) = 0;
  // The buffer that began to play last, and when its first sample left the
  // device on the system clock (nanoseconds since the epoch). False when the
  // sound system does not tell, or no buffer has begun since the open.
  virtual bool LastBufferStart(const WaveHeader*& header, std::int64_t& realtimeNs) = 0;
  // Where the output is: the buffer the sound system took samples from
  // last, the index in it of the first sample it took then, and when that
  // sample leaves the device on the system clock (nanoseconds since the
  // epoch). False when the sound system does not tell, and from a reset
  // until it takes samples again.
  virtual bool PlayingPosition(const WaveHeader*&, std::size_t&, std::int64_t&) { return false; }
  // Whether the open device tells when its samples leave it (so far).
  virtual bool TellsPlayTimes() { return false; }
  // Takes the buffer written last out of the queue, unplayed, if none of
  // it has been taken for playing yet, so that it can be made again and
  // written anew. False where it has, or where the device cannot say.
  virtual bool TakeBack(WaveHeader&) { return false; }
};

// The system's default output device (through PortAudio; waveOut on
// Windows). Closed, after a reset, when destroyed.
std::unique_ptr<WaveOutDevice> CreateWaveOutDevice();

}  // namespace platform
