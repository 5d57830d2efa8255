// The window's part of the window sound test in a program of the Windows
// build: the Linux test starts it under Wine with the sound server and the
// recorder running, and reads the instant the first frame began from it.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/window_transmission.h"

namespace {

TEST(WindowTransmission, TwoFramesThenStop) {
  const platform::Time64 firstFrameBegins = e2e::TransmitTwoFramesInTheWindow();
  ASSERT_NE(firstFrameBegins, 0);
  std::printf("first frame begins %lld\n", static_cast<long long>(firstFrameBegins));
  std::fflush(stdout);
}

}  // namespace
