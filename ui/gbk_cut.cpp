#include "ui/gbk_cut.h"

std::size_t GbkCutLength(const char* text, std::size_t maxBytes) {
  std::size_t n = 0;
  while (n < maxBytes && text[n] != '\0') {
    const unsigned char c = static_cast<unsigned char>(text[n]);
    // 0x81..0xFE start a double-byte character; a lead byte followed by the
    // terminator is broken text and is kept as the single byte it is.
    const bool lead = c >= 0x81 && c <= 0xFE && text[n + 1] != '\0';
    const std::size_t width = lead ? 2 : 1;
    if (n + width > maxBytes) break;
    n += width;
  }
  return n;
}
