// A straight line through (x, y) points by least squares, kept as running
// sums: how a device's sample clock runs against the system clock.
//
// The points may come in segments, each on a line of the same slope but of
// its own offset: a sound system that ran dry and played a gap of silence
// shifts every later lag by the gap. The slope is then the one fitted
// within the segments, which no such shift moves.
#pragma once

#include <cmath>

namespace platform {

struct LineFit {
  double maxX = 0;

  void Add(double x, double y) {
    n_ += 1;
    sx_ += x;
    sy_ += y;
    sxx_ += x * x;
    sxy_ += x * y;
    syy_ += y * y;
    lastY_ = y;
    if (x > maxX) maxX = x;
  }
  // Starts a new segment before this point when y jumps by more than
  // maxJump from the point before.
  void AddOrBreak(double x, double y, double maxJump) {
    if (n_ > 0 && std::fabs(y - lastY_) > maxJump) Break();
    Add(x, y);
  }
  void Break() {
    if (n_ == 0) return;
    cxx_ += sxx_ - sx_ * sx_ / n_;
    cxy_ += sxy_ - sx_ * sy_ / n_;
    cyy_ += syy_ - sy_ * sy_ / n_;
    points_ += n_;
    segments_ += 1;
    n_ = sx_ = sy_ = sxx_ = sxy_ = syy_ = 0;
  }

  bool Slope(double& slope) const {
    Pooled p = Sums();
    if (p.points - p.segments < 2 || p.cxx <= 0) return false;
    slope = p.cxy / p.cxx;
    return true;
  }
  // The slope's standard error, from the scatter about the line.
  bool SlopeError(double& error) const {
    Pooled p = Sums();
    if (p.points - p.segments < 2 || p.cxx <= 0) return false;
    const double residual = p.cyy - p.cxy * p.cxy / p.cxx;
    error = std::sqrt((residual > 0 ? residual : 0) / (p.points - p.segments - 1) / p.cxx);
    return true;
  }

 private:
  struct Pooled {
    double cxx, cxy, cyy, points, segments;
  };
  Pooled Sums() const {
    Pooled p{cxx_, cxy_, cyy_, points_, segments_};
    if (n_ > 0) {
      p.cxx += sxx_ - sx_ * sx_ / n_;
      p.cxy += sxy_ - sx_ * sy_ / n_;
      p.cyy += syy_ - sy_ * sy_ / n_;
      p.points += n_;
      p.segments += 1;
    }
    return p;
  }

  // The open segment's raw sums; the closed ones' centred sums.
  double n_ = 0, sx_ = 0, sy_ = 0, sxx_ = 0, sxy_ = 0, syy_ = 0, lastY_ = 0;
  double cxx_ = 0, cxy_ = 0, cyy_ = 0, points_ = 0, segments_ = 0;
};

}  // namespace platform
