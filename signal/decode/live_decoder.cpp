#include "signal/decode/live_decoder.h"

#include <algorithm>
#include <cmath>

#include "platform/system_time.h"

namespace decode {

namespace {

// A second in nanoseconds, for the arithmetic in doubles.
constexpr double kSecondNs = static_cast<double>(platform::kNanosecondsPerSecond);

// Two frames of a minute and the markers around them.
constexpr double kWindowSeconds = 150;
constexpr double kDecodeEverySeconds = 3;
constexpr double kTrimSeconds = 10;
// A frame is given once its end lies this far inside what has come in, so
// that its last second was read whole.
constexpr double kSettleSeconds = 1.5;
// Frames of two decodings this close are the same.
constexpr double kSameFrameSeconds = 0.5;
// A block whose date lies this much later than its samples' count says
// follows lost samples or an input that stood still.
constexpr double kGapNs = 0.5e9;
// Dates are late by however long the sound system's thread was held, never
// early: the earliest within this span of a sample stands for its time.
constexpr double kDateSpanSeconds = 2;

}  // namespace

LiveDecoder::LiveDecoder(double rate, const Station* station, double toneHz)
    : rate_(rate), station_(station), toneHz_(toneHz) {}

double LiveDecoder::Add(const float* samples, std::size_t count, std::int64_t firstNs) {
  if (count == 0) return 0;
  const double originNs = static_cast<double>(firstNs) - static_cast<double>(total_) * kSecondNs / rate_;
  double lostNs = dates_.empty() ? 0 : originNs - OriginNs(total_);
  if (lostNs <= kGapNs) {
    lostNs = 0;
  } else {
    window_.clear();
    windowFirst_ = total_;
    dates_.clear();
  }
  dates_.push_back({total_, originNs});
  window_.insert(window_.end(), samples, samples + count);
  total_ += count;
  // Trimmed some seconds at a time, not a block's worth each block.
  const auto keep = static_cast<std::size_t>(kWindowSeconds * rate_);
  if (window_.size() > keep + static_cast<std::size_t>(kTrimSeconds * rate_)) {
    const std::size_t drop = window_.size() - keep;
    window_.erase(window_.begin(), window_.begin() + static_cast<std::ptrdiff_t>(drop));
    windowFirst_ += drop;
  }
  const auto span = static_cast<std::uint64_t>(kDateSpanSeconds * rate_);
  while (dates_.size() > 1 && dates_.front().index + span < windowFirst_) dates_.pop_front();
  return lostNs / kSecondNs;
}

double LiveDecoder::OriginNs(std::uint64_t index) const {
  const auto span = static_cast<std::uint64_t>(kDateSpanSeconds * rate_);
  double origin = 0;
  bool any = false;
  // Newest first: most asked about is the end.
  for (auto d = dates_.rbegin(); d != dates_.rend() && d->index + span >= index; ++d) {
    if (d->index > index + span) continue;
    if (!any || d->originNs < origin) origin = d->originNs;
    any = true;
  }
  if (!any && !dates_.empty()) origin = dates_.back().originNs;
  return origin;
}

std::vector<HeardFrame> LiveDecoder::Poll() {
  std::vector<HeardFrame> heard;
  if (static_cast<double>(total_ - decodedAt_) < kDecodeEverySeconds * rate_ || window_.empty()) return heard;
  decodedAt_ = total_;
  Decoding d = Decode(window_.data(), window_.size(), rate_, station_, toneHz_);
  if (d.station == nullptr) {
    if (!given_) failure_ = d.failure;
    return heard;
  }
  const auto settled = static_cast<double>(total_) - kSettleSeconds * rate_;
  for (const DecodedFrame& f : d.frames) {
    const double begins = static_cast<double>(windowFirst_) + f.beginsS * rate_;
    const double ends = static_cast<double>(windowFirst_) + f.endsS * rate_;
    if (ends > settled) continue;
    // Until a frame has told the station, the others are guesses at one.
    if (station_ == nullptr && !f.isTime) continue;
    if (given_ && begins < lastBegins_ + kSameFrameSeconds * rate_) continue;
    HeardFrame h;
    h.stationName = d.stationName;
    h.frame = f;
    h.frame.beginsS = begins / rate_;
    h.frame.endsS = ends / rate_;
    const double periodNs = d.station->frameSeconds * kSecondNs;
    // A frame may begin a few samples before the first.
    const double markNs = OriginNs(static_cast<std::uint64_t>(std::max(0.0, begins))) + begins * kSecondNs / rate_;
    h.markOffsetMs = (markNs - std::round(markNs / periodNs) * periodNs) / 1e6;
    heard.push_back(h);
    lastBegins_ = begins;
    given_ = true;
    if (f.isTime && station_ == nullptr) {
      // Found once, kept: the next decodings look no further.
      station_ = d.station;
      toneHz_ = d.toneHz;
    }
  }
  if (!given_) failure_ = d.failure.empty() ? "no whole frame yet" : d.failure;
  return heard;
}

}  // namespace decode
