// A straight line through (x, y) points by least squares, kept as running
// sums: how a device's sample clock runs against the system clock.
#pragma once

namespace platform {

struct LineFit {
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0, maxX = 0;
  void Add(double x, double y) {
    n += 1;
    sx += x;
    sy += y;
    sxx += x * x;
    sxy += x * y;
    if (x > maxX) maxX = x;
  }
  bool Slope(double& slope) const {
    double d = n * sxx - sx * sx;
    if (n < 3 || d <= 0) return false;
    slope = (n * sxy - sx * sy) / d;
    return true;
  }
};

}  // namespace platform
