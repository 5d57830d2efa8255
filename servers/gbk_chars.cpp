#include "servers/gbk_chars.h"

size_t GbkCutLength(std::string_view text, size_t maxBytes) {
  size_t at = 0;
  while (at < text.size()) {
    size_t next = at + GbkCharLength(text, at);
    if (next > maxBytes) break;
    at = next;
  }
  return at;
}

size_t FindGbkChar(std::string_view text, char c, size_t from) {
  for (size_t at = from; at < text.size(); at += GbkCharLength(text, at)) {
    if (text[at] == c) return at;
  }
  return std::string_view::npos;
}
