// Stepping through GBK (code page 936) text one character at a time: a byte
// from 0x81 to 0xFE starts a double-byte character together with the byte
// after it, unless the text ends there. A trail byte can look like ASCII, so
// a cut point or a match is only known by walking the text from its start.
#pragma once

#include <cstddef>
#include <string_view>

inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Bytes of the character that starts at text[at] (at < text.size()).
inline std::size_t GbkCharLength(std::string_view text, std::size_t at) {
  return IsGbkLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// Length of the longest beginning of text with at most maxBytes bytes that
// does not split a character.
std::size_t GbkCutLength(std::string_view text, std::size_t maxBytes);

// Copies the longest beginning of text that fits destSize (at least 1) with
// its NUL, never splitting a character; returns the bytes copied.
std::size_t GbkCopyCut(std::string_view text, char* dest, std::size_t destSize);

// Offset of the first character that is the single byte c, or npos.
std::size_t FindGbkChar(std::string_view text, char c, std::size_t from = 0);
