// Cutting GBK (code page 936) text to a byte budget without splitting a
// double-byte character: a trail byte can look like ASCII, so a cut point is
// only known by walking the text from its start.
#pragma once

#include <cstddef>

// Number of bytes of the NUL-terminated text (at most maxBytes of them) that
// end on a character boundary: a lead byte whose trail byte would fall past
// maxBytes is left out together with it.
std::size_t GbkCutLength(const char* text, std::size_t maxBytes);
