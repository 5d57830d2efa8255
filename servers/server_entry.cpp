#include "servers/server_entry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "afx/gbk.h"

int ServerNumberWidth(size_t count) {
  int digits = 1;
  for (size_t rest = count / 10; rest != 0; rest /= 10) ++digits;
  return digits + 2;
}

void FormatServerEntry(char (&text)[kServerEntryTextSize], size_t number, size_t count, const char* address,
                       const char* remark) {
  constexpr size_t kLongest = kServerEntryTextSize - 1;
  const size_t width = static_cast<size_t>(ServerNumberWidth(count));
  std::string_view a(address);
  std::string_view r(remark);
  const size_t addressBytes = GbkCutLength(a, kServerFieldMaxBytes);
  // "#n" and the fill, the address, "   [" and "]" always leave room: the
  // widest number has 20 digits.
  const size_t room = kLongest - width - addressBytes - 5;
  const size_t remarkBytes = GbkCutLength(r, std::min(kServerFieldMaxBytes, room));

  std::memset(text, ' ', sizeof text);
  const auto numberBytes = static_cast<size_t>(std::snprintf(text, sizeof text, "#%zu", number));
  text[numberBytes] = ' ';
  // A number wider than the count's still gets its blank.
  const size_t at = std::max(width, numberBytes + 1);
  std::snprintf(text + at, sizeof text - at, "%.*s   [%.*s]", static_cast<int>(addressBytes), a.data(),
                static_cast<int>(remarkBytes), r.data());
}

void ParseServerEntry(char* text, char*& address, char*& remark) {
  // Searches go by character, so the second byte of a double-byte
  // character is never taken for a blank or a bracket.
  std::string_view t(text);
  const size_t open = FindGbkChar(t, '[');
  const size_t close = open == std::string_view::npos ? open : FindGbkChar(t, ']', open + 1);
  const size_t addressEnd = open == std::string_view::npos ? t.size() : open;
  const size_t blank = FindGbkChar(t.substr(0, addressEnd), ' ');

  if (open != std::string_view::npos) text[open] = '\0';
  if (close != std::string_view::npos) text[close] = '\0';
  address = text + (blank == std::string_view::npos ? addressEnd : blank);
  remark = open == std::string_view::npos ? text + t.size() : text + open + 1;
  NormalizeServerAddress(address);
}

void NormalizeServerAddress(char* text) {
  // Every byte sequence removed here is a whole character, so taking them
  // out in one pass leaves the same text as removing the control bytes,
  // DEL, blanks and full-width spaces one kind after the other.
  std::string_view t(text);
  size_t out = 0;
  for (size_t at = 0; at < t.size();) {
    const size_t length = GbkCharLength(t, at);
    const auto first = static_cast<unsigned char>(t[at]);
    const bool removed = length == 1 ? (first <= 0x20 || first == 0x7F)
                                     : (first == 0xA1 && static_cast<unsigned char>(t[at + 1]) == 0xA1);
    if (!removed) {
      std::memmove(text + out, text + at, length);
      out += length;
    }
    at += length;
  }
  text[out] = '\0';
}

std::string NormalizedServerAddress(std::string_view typed) {
  char buffer[kServerFieldMaxBytes + 1];
  const size_t n = GbkCutLength(typed.substr(0, typed.find('\0')), kServerFieldMaxBytes);
  std::memcpy(buffer, typed.data(), n);
  buffer[n] = '\0';
  NormalizeServerAddress(buffer);
  return buffer;
}

std::string CutServerRemark(std::string_view typed) {
  typed = typed.substr(0, typed.find('\0'));
  return std::string(typed.substr(0, GbkCutLength(typed, kServerFieldMaxBytes)));
}
