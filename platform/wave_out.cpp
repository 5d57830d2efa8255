#include "platform/wave_out.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <portaudio.h>

#include <cstring>
#include <mutex>

namespace platform {
namespace {

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}
void QuietJack(const char*) {}

// Probing the sound back ends makes ALSA and JACK print every device they
// fail to reach to stderr. Those reports are expected (no JACK server, no
// hardware card behind a sound server) and only bury the program's output.
void SilenceBackEndReports() {
  static std::once_flag once;
  std::call_once(once, [] {
    snd_lib_error_set_handler(QuietAlsa);
    // JACK is present only when PortAudio was built with it.
    using SetHandler = void (*)(void (*)(const char*));
    for (const char* name : {"jack_set_error_function", "jack_set_info_function"}) {
      if (void* f = ::dlsym(RTLD_DEFAULT, name)) reinterpret_cast<SetHandler>(f)(QuietJack);
    }
  });
}

// PortAudio counts its initialisations but does not guard them; devices
// may be made on different threads (the transmitter's, the window's).
std::mutex g_portAudioInit;
int g_portAudioSessions = 0;  // guarded by g_portAudioInit

// One balanced Pa_Initialize / Pa_Terminate.
class PortAudioSession {
 public:
  PortAudioSession() {
    SilenceBackEndReports();
    std::lock_guard lock(g_portAudioInit);
    ok_ = Pa_Initialize() == paNoError;
    if (ok_) ++g_portAudioSessions;
  }
  ~PortAudioSession() {
    std::lock_guard lock(g_portAudioInit);
    if (!ok_) return;
    Pa_Terminate();
    if (--g_portAudioSessions == 0) {
      // ALSA keeps the configuration it parsed for the whole process;
      // hand it back with the last session.
      snd_config_update_free_global();
    }
  }
  PortAudioSession(const PortAudioSession&) = delete;
  PortAudioSession& operator=(const PortAudioSession&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

unsigned OpenErrorCode(PaError error) {
  switch (error) {
    case paInvalidSampleRate:
    case paInvalidChannelCount:
    case paSampleFormatNotSupported:
      return WAVERR_BADFORMAT;
    case paInsufficientMemory:
      return MMSYSERR_NOMEM;
    case paDeviceUnavailable:
      return MMSYSERR_ALLOCATED;
    case paInvalidDevice:
      return MMSYSERR_BADDEVICEID;
    default:
      return MMSYSERR_ERROR;
  }
}

class PortAudioWaveOut final : public WaveOutDevice {
 public:
  ~PortAudioWaveOut() override {
    if (stream_ != nullptr) {
      Reset();
      Close();
    }
  }

  unsigned GetNumDevs() override {
    if (!session_.ok()) return 0;
    int count = Pa_GetDeviceCount();
    unsigned outputs = 0;
    for (int i = 0; i < count; ++i) {
      const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
      if (info != nullptr && info->maxOutputChannels > 0) ++outputs;
    }
    return outputs;
  }

  unsigned GetDevCaps(std::uint32_t& formats) override {
    if (!session_.ok()) return MMSYSERR_NODRIVER;
    PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    if (device == paNoDevice) return MMSYSERR_BADDEVICEID;
    formats = 0;
    const struct {
      double rate;
      std::uint32_t flag;
    } probes[] = {{44100, WAVE_FORMAT_4M16}, {48000, WAVE_FORMAT_48M16}, {96000, WAVE_FORMAT_96M16}};
    for (const auto& probe : probes) {
      PaStreamParameters params = OutputParameters(device, 1);
      if (Pa_IsFormatSupported(nullptr, &params, probe.rate) == paFormatIsSupported) formats |= probe.flag;
    }
    return MMSYSERR_NOERROR;
  }

  unsigned Open(const WaveFormat& format, EventHandle callbackEvent) override {
    if (!session_.ok()) return MMSYSERR_NODRIVER;
    if (stream_ != nullptr) return MMSYSERR_ALLOCATED;
    if (format.wFormatTag != WAVE_FORMAT_PCM || format.wBitsPerSample != 16 || format.nChannels < 1 ||
        format.nChannels > 2 || format.nBlockAlign != 2 * format.nChannels || format.nSamplesPerSec == 0) {
      return WAVERR_BADFORMAT;
    }
    PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    if (device == paNoDevice) return MMSYSERR_BADDEVICEID;
    PaStreamParameters params = OutputParameters(device, format.nChannels);
    double rate = format.nSamplesPerSec;
    if (Pa_IsFormatSupported(nullptr, &params, rate) != paFormatIsSupported) return WAVERR_BADFORMAT;

    {
      std::lock_guard lock(mutex_);
      head_ = tail_ = nullptr;
      paused_ = false;
      blockAlign_ = format.nBlockAlign;
    }
    event_ = std::move(callbackEvent);
    PaStream* stream = nullptr;
    PaError error = Pa_OpenStream(&stream, nullptr, &params, rate, paFramesPerBufferUnspecified, paClipOff,
                                  &PortAudioWaveOut::Play, this);
    if (error == paNoError) {
      error = Pa_StartStream(stream);
      if (error != paNoError) Pa_CloseStream(stream);
    }
    if (error != paNoError) {
      event_.reset();
      return OpenErrorCode(error);
    }
    stream_ = stream;
    Signal();
    return MMSYSERR_NOERROR;
  }

  unsigned PrepareHeader(WaveHeader& header) override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    if (header.lpData == nullptr) return MMSYSERR_INVALPARAM;
    header.dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }

  unsigned UnprepareHeader(WaveHeader& header) override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    if (header.dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    header.dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }

  unsigned Write(WaveHeader& header) override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    if (!(header.dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (header.dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    std::lock_guard lock(mutex_);
    header.lpNext = nullptr;
    header.reserved = 0;
    header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    if (tail_ != nullptr) {
      tail_->lpNext = &header;
    } else {
      head_ = &header;
    }
    tail_ = &header;
    return MMSYSERR_NOERROR;
  }

  unsigned Pause() override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    std::lock_guard lock(mutex_);
    paused_ = true;
    return MMSYSERR_NOERROR;
  }

  unsigned Restart() override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    std::lock_guard lock(mutex_);
    paused_ = false;
    return MMSYSERR_NOERROR;
  }

  unsigned Reset() override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    bool returned = false;
    {
      std::lock_guard lock(mutex_);
      for (WaveHeader* h = head_; h != nullptr;) {
        WaveHeader* next = h->lpNext;
        h->lpNext = nullptr;
        h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
        h = next;
        returned = true;
      }
      head_ = tail_ = nullptr;
    }
    if (returned) Signal();
    return MMSYSERR_NOERROR;
  }

  unsigned Close() override {
    if (stream_ == nullptr) return MMSYSERR_INVALHANDLE;
    {
      std::lock_guard lock(mutex_);
      if (head_ != nullptr) return WAVERR_STILLPLAYING;
    }
    // Stopping (rather than aborting) lets the samples already handed to
    // the sound system finish, so the last buffer is heard whole.
    Pa_StopStream(stream_);
    Pa_CloseStream(stream_);
    stream_ = nullptr;
    Signal();
    event_.reset();
    return MMSYSERR_NOERROR;
  }

 private:
  static PaStreamParameters OutputParameters(PaDeviceIndex device, int channels) {
    PaStreamParameters params{};
    params.device = device;
    params.channelCount = channels;
    params.sampleFormat = paInt16;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    params.suggestedLatency = info != nullptr ? info->defaultHighOutputLatency : 0.2;
    return params;
  }

  void Signal() {
    if (event_) event_->Set();
  }

  // Runs on the sound system's thread: copies queued buffers one after the
  // other into the output, silence while paused or when nothing is queued.
  static int Play(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                  PaStreamCallbackFlags, void* self) {
    static_cast<PortAudioWaveOut*>(self)->Fill(static_cast<char*>(output), frames);
    return paContinue;
  }

  void Fill(char* out, unsigned long frames) {
    std::size_t wanted = static_cast<std::size_t>(frames) * blockAlign_;
    bool finished = false;
    {
      std::lock_guard lock(mutex_);
      while (wanted > 0 && !paused_ && head_ != nullptr) {
        WaveHeader* h = head_;
        std::size_t left = h->dwBufferLength - h->reserved;
        std::size_t n = left < wanted ? left : wanted;
        std::memcpy(out, h->lpData + h->reserved, n);
        out += n;
        wanted -= n;
        h->reserved += static_cast<std::uint32_t>(n);
        if (h->reserved >= h->dwBufferLength) {
          head_ = h->lpNext;
          if (head_ == nullptr) tail_ = nullptr;
          h->lpNext = nullptr;
          h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
          finished = true;
        }
      }
    }
    std::memset(out, 0, wanted);
    if (finished) Signal();
  }

  PortAudioSession session_;
  PaStream* stream_ = nullptr;
  EventHandle event_;
  std::mutex mutex_;  // guards the queue and the pause between the threads
  WaveHeader* head_ = nullptr;
  WaveHeader* tail_ = nullptr;
  bool paused_ = false;
  unsigned blockAlign_ = 2;
};

}  // namespace

std::unique_ptr<WaveOutDevice> CreateWaveOutDevice() { return std::make_unique<PortAudioWaveOut>(); }

}  // namespace platform
