// Stepping through GBK text one character at a time, the way the code page
// 936 routines do: a byte from 0x81 to 0xFE starts a double-byte character
// together with the byte after it, unless the text ends there.
#pragma once

#include <cstddef>
#include <string_view>

inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Bytes of the character that starts at text[at] (at < text.size()).
inline size_t GbkCharLength(std::string_view text, size_t at) {
  return IsGbkLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// Length of the longest beginning of text with at most maxBytes bytes that
// does not split a character.
size_t GbkCutLength(std::string_view text, size_t maxBytes);

// Offset of the first character that is the single byte c, or npos.
size_t FindGbkChar(std::string_view text, char c, size_t from = 0);
