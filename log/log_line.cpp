#include "log/log_line.h"

#include <cstddef>
#include <cstdio>

#include "afx/gbk.h"

namespace {
constexpr std::size_t kLineSize = 128;
}

void FormatLogLine(char out[128], int hour, int minute, int second, const char* text) {
  const int prefix = std::snprintf(out, kLineSize, "%02d:%02d:%02d  ", hour, minute, second);
  std::size_t used = prefix < 0 ? 0 : static_cast<std::size_t>(prefix);
  if (used > kLineSize - 1) used = kLineSize - 1;
  GbkCopyCut(text, out + used, kLineSize - used);
}
