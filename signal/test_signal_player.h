// Plays the fixed two-minute test signal on the default output device and
// returns at once; the playback runs on by itself, not tied to the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/wave_out.h"

class TestSignalPlayer {
 public:
  using DeviceFactory = std::function<std::unique_ptr<platform::WaveOutDevice>()>;

  explicit TestSignalPlayer(DeviceFactory makeDevice = platform::CreateWaveOutDevice);
  // Cuts off a playback still running.
  ~TestSignalPlayer();
  TestSignalPlayer(const TestSignalPlayer&) = delete;
  TestSignalPlayer& operator=(const TestSignalPlayer&) = delete;

  // Builds the six frames and queues them. A playback still running is cut
  // off first: its device and buffer are what the new one reuses.
  void Play();

 private:
  void Release();

  DeviceFactory makeDevice_;
  std::unique_ptr<platform::WaveOutDevice> device_;
  std::unique_ptr<std::int16_t[]> samples_;
  platform::WaveHeader header_;
};
