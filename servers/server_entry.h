// One server of the list as the server combo box shows it: "#n", blanks to
// the numbering width, the address, three blanks and the remark in square
// brackets. All text is GBK.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Buffers that hold an entry text: the longest text is 134 bytes.
inline constexpr size_t kServerEntryTextSize = 136;
// Bytes of text an address or a remark holds at most (63-byte buffers).
inline constexpr size_t kServerFieldMaxBytes = 62;

// Width W of the "#n" field in a list of count entries: two more than the
// digits of count, so at least one blank always follows the number.
int ServerNumberWidth(size_t count);

// Writes the entry text of entry number (1-based) in a list of count entries.
// Address and remark are taken up to 62 bytes each; the text always fits the
// buffer (only in lists of 10 000 entries or more does the remark lose its
// tail).
void FormatServerEntry(char (&text)[kServerEntryTextSize], size_t number, size_t count, const char* address,
                       const char* remark);

// Takes an entry text apart in place: address points at the normalised
// address, remark at the text between the first "[" and the next "]" (or the
// end). Both point into text. A text without a blank has an empty address.
void ParseServerEntry(char* text, char*& address, char*& remark);

// Removes, in place, every control byte 0x01-0x1F, 0x7F, blank and GBK
// full-width space (A1 A1) that starts a character. Never grows the text.
void NormalizeServerAddress(char* text);

// What the add/modify dialog and the command line make of a typed address
// (GBK): the first 62 bytes, normalised. Empty means refused.
std::string NormalizedServerAddress(std::string_view typed);

// A typed remark (GBK) cut to 62 bytes; blanks and all else stay.
std::string CutServerRemark(std::string_view typed);
