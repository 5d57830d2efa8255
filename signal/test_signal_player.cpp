#include "signal/test_signal_player.h"

#include <new>
#include <utility>

#include "signal/frame_audio.h"
#include "signal/transmitter.h"

TestSignalPlayer::TestSignalPlayer(DeviceFactory makeDevice) : makeDevice_(std::move(makeDevice)) {}

TestSignalPlayer::~TestSignalPlayer() { Release(); }

void TestSignalPlayer::Release() {
  if (device_) {
    device_->Reset();
    device_->UnprepareHeader(header_);
    device_->Close();
    device_.reset();
  }
}

void TestSignalPlayer::Play() {
  Release();
  if (!samples_) {
    samples_.reset(new (std::nothrow) std::int16_t[kTestSignalSamples]);
    if (!samples_) return;
  }
  BuildTestSignal(samples_.get());

  device_ = makeDevice_();
  if (!device_) return;
  // No callback: nobody waits for this playback to finish.
  if (device_->Open(FrameAudioFormat(kTestSignalRate), nullptr) != platform::MMSYSERR_NOERROR) {
    device_.reset();
    return;
  }
  header_.lpData = reinterpret_cast<char*>(samples_.get());
  header_.dwBufferLength = static_cast<std::uint32_t>(kTestSignalBytes);
  header_.dwFlags = 0;
  header_.dwLoops = 0;
  device_->PrepareHeader(header_);
  device_->Write(header_);
}
