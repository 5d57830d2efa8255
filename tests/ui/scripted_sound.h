// The main dialog's transmitter on a scripted device and a virtual clock
// instead of the machine's sound output, so that window tests neither need
// a sound card nor depend on one being there.
#pragma once

#include <memory>

#include "tests/signal/scripted_wave_out.h"
#include "ui/transmitter_link.h"

namespace ui_test {


// While it lives, the transmitter thread of the next dialogs drives
// `device` by `clock`, and the test signal plays on `testSignalDevice`.
// Script the devices before the dialog starts.
class ScriptedSound {
 public:
  ScriptedSound()
      : savedDevice_(g_txContext.pDevice), savedClock_(g_txContext.pClock), savedTestSignal_(g_testSignalDevice) {
    g_txContext.pDevice = &device;
    g_txContext.pClock = &clock;
    g_testSignalDevice = [this] { return std::make_unique<tx_test::ForwardWaveOut>(testSignalDevice); };
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
