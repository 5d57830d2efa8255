#include "signal/test_signal_player.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "signal/frame_audio.h"
#include "tests/signal/scripted_wave_out.h"

namespace {


TEST(TestSignalPlayer, QueuesTheSixFixedFramesAsOneBufferAndReturns) {
  tx_test::ScriptedWaveOut device;
  TestSignalPlayer player([&] { return std::make_unique<tx_test::ForwardWaveOut>(device); });
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
    TestSignalPlayer player([&] { return std::make_unique<tx_test::ForwardWaveOut>(device); });
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
  TestSignalPlayer player([&] { return std::make_unique<tx_test::ForwardWaveOut>(device); });
  player.Play();
  EXPECT_EQ(device.Calls(), std::vector<std::string>{"open 44100"});
  EXPECT_TRUE(device.Queue().empty());
}

}  // namespace
