// The main dialog's transmitter on a scripted device and a virtual clock
// instead of the machine's sound output, so that window tests neither need
// a sound card nor depend on one being there.
#pragma once

#include <memory>

#include "tests/bpc/scripted_wave_out.h"
#include "ui/transmitter_link.h"

namespace ui_test {

// Hands the test-signal player (which owns its device) a device whose calls
// land on a scripted one the test keeps.
class ForwardWaveOut final : public platform::WaveOutDevice {
 public:
  explicit ForwardWaveOut(tx_test::ScriptedWaveOut& to) : to_(to) {}
  unsigned GetNumDevs() override { return to_.GetNumDevs(); }
  unsigned GetDevCaps(std::uint32_t& f) override { return to_.GetDevCaps(f); }
  unsigned Open(const platform::WaveFormat& f, platform::EventHandle e) override { return to_.Open(f, e); }
  unsigned PrepareHeader(platform::WaveHeader& h) override { return to_.PrepareHeader(h); }
  unsigned UnprepareHeader(platform::WaveHeader& h) override { return to_.UnprepareHeader(h); }
  unsigned Write(platform::WaveHeader& h) override { return to_.Write(h); }
  unsigned Pause() override { return to_.Pause(); }
  unsigned Restart() override { return to_.Restart(); }
  unsigned Reset() override { return to_.Reset(); }
  unsigned Close() override { return to_.Close(); }

 private:
  tx_test::ScriptedWaveOut& to_;
};

// While it lives, the transmitter thread of the next dialogs drives
// `device` by `clock`, and the test signal plays on `testSignalDevice`.
// Script the devices before the dialog starts.
class ScriptedSound {
 public:
  ScriptedSound()
      : savedDevice_(g_txContext.pDevice), savedClock_(g_txContext.pClock), savedTestSignal_(g_testSignalDevice) {
    g_txContext.pDevice = &device;
    g_txContext.pClock = &clock;
    g_testSignalDevice = [this] { return std::make_unique<ForwardWaveOut>(testSignalDevice); };
  }
  ~ScriptedSound() {
    g_txContext.pDevice = savedDevice_;
    g_txContext.pClock = savedClock_;
    g_testSignalDevice = savedTestSignal_;
  }
  ScriptedSound(const ScriptedSound&) = delete;
  ScriptedSound& operator=(const ScriptedSound&) = delete;

  tx_test::ScriptedWaveOut device;
  tx_test::VirtualClock clock;
  tx_test::ScriptedWaveOut testSignalDevice;

 private:
  platform::WaveOutDevice* savedDevice_;
  const platform::Clock* savedClock_;
  TestSignalPlayer::DeviceFactory savedTestSignal_;
};

}  // namespace ui_test
