#include "cli/offset_option.h"

namespace cli {

namespace {

bool ParseSeconds(const std::string& text, std::int64_t& ns) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  std::int64_t whole = 0;
  int wholeDigits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++wholeDigits) {
    if (whole > kMaxOffsetSeconds) return false;  // far out of range; stop before it overflows
    whole = whole * 10 + (text[i] - '0');
  }
  std::int64_t fraction = 0;
  int fractionDigits = 0;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++fractionDigits) {
      if (fractionDigits == 9) return false;
      fraction = fraction * 10 + (text[i] - '0');
    }
    if (fractionDigits == 0) return false;
  }
  if (i != text.size() || wholeDigits + fractionDigits == 0) return false;
  for (int d = fractionDigits; d < 9; ++d) fraction *= 10;
  ns = whole * kNanosecondsPerSecond + fraction;
  if (ns > kMaxOffsetSeconds * kNanosecondsPerSecond) return false;
  if (negative) ns = -ns;
  return true;
}

}  // namespace

bool OffsetOption(const Args& args, std::int64_t& ns, std::string& error) {
  ns = 0;
  std::optional<std::string> text = args.Value("--offset");
  if (!text) return true;
  if (ParseSeconds(*text, ns)) return true;
  error = "--offset needs a number of seconds from -86400 to 86400 (up to nine decimals): " + *text;
  return false;
}

std::int64_t WholeSeconds(std::int64_t ns) {
  return platform::FloorSeconds(ns);
}

}  // namespace cli
