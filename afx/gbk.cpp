#include "afx/gbk.h"

#include <cstring>

std::size_t GbkCutLength(std::string_view text, std::size_t maxBytes) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t next = at + GbkCharLength(text, at);
    if (next > maxBytes) break;
    at = next;
  }
  return at;
}

std::size_t GbkCopyCut(std::string_view text, char* dest, std::size_t destSize) {
  const std::size_t n = GbkCutLength(text, destSize - 1);
  std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
  return n;
}

std::size_t FindGbkChar(std::string_view text, char c, std::size_t from) {
  for (std::size_t at = from; at < text.size(); at += GbkCharLength(text, at)) {
    if (text[at] == c) return at;
  }
  return std::string_view::npos;
}
