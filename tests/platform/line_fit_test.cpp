#include "platform/line_fit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The slope of a sample clock's lag and how well it is known: nothing from
// too few points, exact on a straight line, and for points scattered about
// one, an error that shrinks as the measurement grows long.
TEST(LineFit, SlopeAndItsStandardError) {
  platform::LineFit fit;
  double slope = 0, error = 0;
  fit.Add(0, 1);
  fit.Add(1, 1.5);
  EXPECT_FALSE(fit.Slope(slope));
  EXPECT_FALSE(fit.SlopeError(error));
  fit.Add(2, 2);
  ASSERT_TRUE(fit.Slope(slope) && fit.SlopeError(error));
  EXPECT_DOUBLE_EQ(slope, 0.5);
  EXPECT_NEAR(error, 0, 1e-9);

  // Lags of 150 ppm with +-1 ms about them, a point every 10 ms: over 20 s
  // the error is some sqrt(12 / (n T^2)) ms = 0.39 ppm, over 80 s an eighth.
  for (double seconds : {20.0, 80.0}) {
    platform::LineFit scattered;
    for (int k = 0; k < seconds * 100; ++k) {
      const double x = k / 100.0;
      scattered.Add(x, -150e-6 * x + (k % 2 == 0 ? 1e-3 : -1e-3));
    }
    ASSERT_TRUE(scattered.Slope(slope) && scattered.SlopeError(error));
    EXPECT_NEAR(slope, -150e-6, 3 * error);
    EXPECT_NEAR(error, 1e-3 * std::sqrt(12 / (seconds * 100 * seconds * seconds)), 0.1e-6) << seconds;
  }
}

// A sound system that ran dry shifts the later lags by its gap: a break
// there keeps the slope (and its error) what it was, where one line through
// all the points would take the gap for a slow clock.
TEST(LineFit, AJumpInTheLagsStartsASegmentOfItsOwn) {
  platform::LineFit whole, broken;
  for (int k = 0; k < 6000; ++k) {
    const double x = k / 100.0;
    const double y = 150e-6 * x + (x >= 30 ? 0.05 : 0) + (k % 2 == 0 ? 0.2e-3 : -0.2e-3);
    whole.Add(x, y);
    broken.AddOrBreak(x, y, 2e-3);
  }
  double slope = 0, error = 0;
  ASSERT_TRUE(whole.Slope(slope));
  EXPECT_GT(slope, 1000e-6);
  ASSERT_TRUE(broken.Slope(slope) && broken.SlopeError(error));
  // Two 30 s segments: 0.2 ms / sqrt(6000 * 30^2 / 12) = 0.3 ppm.
  EXPECT_NEAR(error, 0.298e-6, 0.01e-6);
  EXPECT_NEAR(slope, 150e-6, 3 * error);
  EXPECT_DOUBLE_EQ(broken.maxX, 59.99);
}

}  // namespace
