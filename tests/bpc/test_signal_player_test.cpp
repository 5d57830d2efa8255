#include "bpc/test_signal_player.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "bpc/frame_audio.h"
#include "tests/bpc/scripted_wave_out.h"

namespace {

// Hands the player a device whose calls land on a scripted one the test
// keeps, so it can look after the player has let go.
class Forward final : public platform::WaveOutDevice {
 public:
  explicit Forward(tx_test::ScriptedWaveOut& to) : to_(to) {}
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

TEST(TestSignalPlayer, QueuesTheSixFixedFramesAsOneBufferAndReturns) {
  tx_test::ScriptedWaveOut device;
  TestSignalPlayer player([&] { return std::make_unique<Forward>(device); });
  player.Play();

  EXPECT_EQ(device.Calls(), (std::vector<std::string>{"open 44100", "prepare", "write"}));
  std::vector<platform::WaveHeader*> queue = device.Queue();
  ASSERT_EQ(queue.size(), 1u);
  ASSERT_EQ(queue[0]->dwBufferLength, kTestSignalBytes);
  std::vector<std::int16_t> expected(kTestSignalSamples);
  BuildTestSignal(expected.data());
  EXPECT_EQ(std::memcmp(queue[0]->lpData, expected.data(), kTestSignalBytes), 0);
}

TEST(TestSignalPlayer, APlayWhilePlayingCutsTheFirstOffAndTheEndReleasesTheDevice) {
  tx_test::ScriptedWaveOut device;
  {
    TestSignalPlayer player([&] { return std::make_unique<Forward>(device); });
    player.Play();
    player.Play();
    EXPECT_EQ(device.Calls(), (std::vector<std::string>{"open 44100", "prepare", "write", "reset", "unprepare",
                                                        "close", "open 44100", "prepare", "write"}));
    EXPECT_EQ(device.Queue().size(), 1u);
  }
  EXPECT_FALSE(device.IsOpen());
  EXPECT_TRUE(device.Queue().empty());
}

TEST(TestSignalPlayer, AFailedOpenQueuesNothing) {
  tx_test::ScriptedWaveOut device;
  device.openResult = platform::MMSYSERR_ALLOCATED;
  TestSignalPlayer player([&] { return std::make_unique<Forward>(device); });
  player.Play();
  EXPECT_EQ(device.Calls(), std::vector<std::string>{"open 44100"});
  EXPECT_TRUE(device.Queue().empty());
}

}  // namespace
