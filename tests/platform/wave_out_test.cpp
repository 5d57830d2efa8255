// The system's waveOut through the program's device, on a private sound
// server with a silent sink (PULSE_SERVER, set by the test's fixture).
#include "platform/wave_out.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/system_clock.h"

namespace {

using namespace platform;

constexpr unsigned kRate = 44100;

struct Buffer {
  explicit Buffer(unsigned samples) : data(samples, 1000) {
    header.lpData = reinterpret_cast<char*>(data.data());
    header.dwBufferLength = static_cast<std::uint32_t>(data.size() * 2);
  }
  std::vector<std::int16_t> data;
  WaveHeader header;
};

TEST(WaveOut, PausedBuffersWaitThenPlayInOrderAndResetReturnsTheRest) {
  auto device = CreateWaveOutDevice();
  ASSERT_GT(device->GetNumDevs(), 0u);
  std::uint32_t formats = 0;
  EXPECT_EQ(device->GetDevCaps(formats), MMSYSERR_NOERROR);

  EventHandle event = CreateEvent();
  WaveFormat format;
  format.nSamplesPerSec = kRate;
  format.nAvgBytesPerSec = 2 * kRate;
  ASSERT_EQ(device->Open(format, event), MMSYSERR_NOERROR);
  EXPECT_EQ(WaitForEvent(*event, 2000), 0) << "no signal on open";
  EXPECT_EQ(device->Open(format, event), MMSYSERR_ALLOCATED);

  Buffer a(kRate * 3 / 10), b(kRate * 3 / 10), longOne(kRate * 5);
  for (Buffer* buffer : {&a, &b, &longOne}) {
    ASSERT_EQ(device->PrepareHeader(buffer->header), MMSYSERR_NOERROR);
    EXPECT_TRUE(buffer->header.dwFlags & WHDR_PREPARED);
  }
  ASSERT_EQ(device->Pause(), MMSYSERR_NOERROR);
  ASSERT_EQ(device->Write(a.header), MMSYSERR_NOERROR);
  ASSERT_EQ(device->Write(b.header), MMSYSERR_NOERROR);
  EXPECT_EQ(WaitForEvent(*event, 700), kWaitTimeout) << "a paused device finished a buffer";
  EXPECT_EQ(a.header.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_INQUEUE);
  EXPECT_EQ(device->UnprepareHeader(a.header), WAVERR_STILLPLAYING);
  EXPECT_EQ(device->Close(), WAVERR_STILLPLAYING);

  // Each completion is signalled; the first buffer is done while the second
  // still plays.
  ASSERT_EQ(device->Restart(), MMSYSERR_NOERROR);
  while (!(a.header.dwFlags & WHDR_DONE)) ASSERT_EQ(WaitForEvent(*event, 3000), 0) << "first buffer never done";
  EXPECT_FALSE(b.header.dwFlags & WHDR_DONE);
  while (!(b.header.dwFlags & WHDR_DONE)) ASSERT_EQ(WaitForEvent(*event, 3000), 0) << "second buffer never done";
  EXPECT_FALSE(b.header.dwFlags & WHDR_INQUEUE);
  EXPECT_EQ(device->StreamError(), MMSYSERR_NOERROR);

  ASSERT_EQ(device->Write(longOne.header), MMSYSERR_NOERROR);
  ASSERT_EQ(device->Write(a.header), MMSYSERR_NOERROR);
  event->Reset();
  EXPECT_EQ(device->Reset(), MMSYSERR_NOERROR);
  for (Buffer* buffer : {&longOne, &a}) {
    EXPECT_EQ(buffer->header.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
  }
  EXPECT_EQ(WaitForEvent(*event, 1000), 0) << "no signal for the returned buffers";

  for (Buffer* buffer : {&a, &b, &longOne}) {
    EXPECT_EQ(device->UnprepareHeader(buffer->header), MMSYSERR_NOERROR);
    EXPECT_FALSE(buffer->header.dwFlags & WHDR_PREPARED);
  }
  event->Reset();
  EXPECT_EQ(device->Close(), MMSYSERR_NOERROR);
  EXPECT_EQ(WaitForEvent(*event, 1000), 0) << "no signal on close";
  EXPECT_EQ(device->Close(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(device->Open(format, nullptr), MMSYSERR_NOERROR) << "the device cannot be opened again";
}

// Scheduled or, where the position says nothing, started by Restart at the
// time: never a sample before it, and then played.
TEST(WaveOut, AScheduledStartPlaysNothingBeforeItsTime) {
  auto device = CreateWaveOutDevice();
  EventHandle event = CreateEvent();
  WaveFormat format;
  format.nSamplesPerSec = kRate;
  format.nAvgBytesPerSec = 2 * kRate;
  ASSERT_EQ(device->Open(format, event), MMSYSERR_NOERROR);
  Buffer a(kRate * 3 / 10);
  ASSERT_EQ(device->PrepareHeader(a.header), MMSYSERR_NOERROR);
  ASSERT_EQ(device->Pause(), MMSYSERR_NOERROR);
  ASSERT_EQ(device->Write(a.header), MMSYSERR_NOERROR);
  const std::int64_t at = GetSystemTimeNanoseconds() + 1000000000;
  ASSERT_EQ(device->RestartAt(at), MMSYSERR_NOERROR);
  EXPECT_EQ(device->UnprepareHeader(a.header), WAVERR_STILLPLAYING);
  // The device's own silence ahead of the buffer signals as well.
  for (std::int64_t left; (left = at - GetSystemTimeNanoseconds()) > 0;) {
    WaitForEvent(*event, static_cast<int>(left / 1000000) + 1);
    ASSERT_FALSE(a.header.dwFlags & WHDR_DONE) << "played before its time";
  }
  ASSERT_EQ(device->Restart(), MMSYSERR_NOERROR);
  while (!(a.header.dwFlags & WHDR_DONE)) ASSERT_EQ(WaitForEvent(*event, 3000), 0) << "never played";
  // Done no earlier than its 300 ms after the time, less the position's
  // granularity.
  EXPECT_GE(GetSystemTimeNanoseconds(), at + 250000000);
  platform::SampleClockReading clock;
  EXPECT_FALSE(device->SampleClockDrift(clock)) << "a rate from a third of a second";
  EXPECT_EQ(device->Reset(), MMSYSERR_NOERROR);
  EXPECT_EQ(device->UnprepareHeader(a.header), MMSYSERR_NOERROR);
  EXPECT_EQ(device->Close(), MMSYSERR_NOERROR);
}

}  // namespace
