#include "platform/portaudio_session.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>

#include <ctime>
#include <mutex>

#include "platform/system_time.h"
#include "platform/thread.h"
#include "platform/wave_out.h"

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

std::mutex g_portAudioInit;
int g_portAudioSessions = 0;  // guarded by g_portAudioInit

}  // namespace

PortAudioSession::PortAudioSession() {
  SilenceBackEndReports();
  std::lock_guard lock(g_portAudioInit);
  ok_ = Pa_Initialize() == paNoError;
  if (ok_) ++g_portAudioSessions;
}

PortAudioSession::~PortAudioSession() {
  std::lock_guard lock(g_portAudioInit);
  if (!ok_) return;
  Pa_Terminate();
  if (--g_portAudioSessions == 0) {
    // ALSA keeps the configuration it parsed for the whole process; hand
    // it back with the last session.
    snd_config_update_free_global();
  }
}

unsigned PortAudioOpenErrorCode(PaError error) {
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

PaError StartPortAudioStream(const PaStreamParameters* input, const PaStreamParameters* output, double rate,
                             PaStreamFlags flags, PaStreamCallback* callback, PaStreamFinishedCallback* finished,
                             void* user, PaStream*& stream, std::atomic<bool>& ending) {
  PaStream* opened = nullptr;
  PaError error = Pa_OpenStream(&opened, input, output, rate, paFramesPerBufferUnspecified, flags, callback, user);
  if (error != paNoError) return error;
  stream = opened;
  error = Pa_SetStreamFinishedCallback(opened, finished);
  if (error == paNoError) error = Pa_StartStream(opened);
  if (error != paNoError) {
    ending = true;
    Pa_CloseStream(opened);
    stream = nullptr;
  }
  return error;
}

void EndPortAudioStream(PaStream* stream, bool abort, std::shared_ptr<const void> state,
                        std::shared_ptr<PortAudioSession> session) {
  auto end = [stream, abort, state = std::move(state), session = std::move(session)] {
    if (abort) {
      Pa_AbortStream(stream);
    } else {
      Pa_StopStream(stream);
    }
    Pa_CloseStream(stream);
  };
  Thread teardown;
  if (!teardown.Start(end)) {
    end();
    return;
  }
  if (!teardown.Join(kPortAudioTeardownMs)) teardown.Detach();
}

std::int64_t RealtimeNowNs() {
  timespec real{};
  if (::clock_gettime(CLOCK_REALTIME, &real) != 0) return 0;
  return static_cast<std::int64_t>(real.tv_sec) * kNanosecondsPerSecond + real.tv_nsec;
}

}  // namespace platform
