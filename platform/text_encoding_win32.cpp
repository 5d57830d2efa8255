#include "platform/text_encoding.h"

#include <windows.h>

#include <string>

namespace platform {
namespace {

constexpr UINT kGbk = 936;

// One code page to UTF-16, then to another. strict: fail on a character the
// target cannot hold (or an invalid source sequence) rather than substitute.
bool Convert(UINT from, UINT to, std::string_view in, std::string& out, bool strict) {
  out.clear();
  if (in.empty()) return true;
  const DWORD fromFlags = strict ? MB_ERR_INVALID_CHARS : 0;
  const int n = static_cast<int>(in.size());
  const int wide = ::MultiByteToWideChar(from, fromFlags, in.data(), n, nullptr, 0);
  if (wide <= 0) return false;
  std::wstring w(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(from, fromFlags, in.data(), n, w.data(), wide);
  BOOL lossy = FALSE;
  // UTF-8 takes no default character; it holds every character anyway.
  BOOL* lossyFlag = (strict && to != CP_UTF8) ? &lossy : nullptr;
  const DWORD toFlags = (strict && to == CP_UTF8) ? WC_ERR_INVALID_CHARS : 0;
  const int bytes = ::WideCharToMultiByte(to, toFlags, w.data(), wide, nullptr, 0, nullptr, lossyFlag);
  if (bytes <= 0) return false;
  out.assign(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(to, toFlags, w.data(), wide, out.data(), bytes, nullptr, lossyFlag);
  if (lossy) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace

// Code page 936 turns what it cannot read into '?'; the program's contract is
// U+FFFD, so the text goes a character at a time when a whole pass fails.
std::string GbkToUtf8(std::string_view gbk) {
  std::string out;
  if (Convert(kGbk, CP_UTF8, gbk, out, true)) return out;
  out.clear();
  std::string piece;
  for (std::size_t i = 0; i < gbk.size();) {
    const std::size_t len = (::IsDBCSLeadByteEx(kGbk, static_cast<BYTE>(gbk[i])) && i + 1 < gbk.size()) ? 2 : 1;
    if (Convert(kGbk, CP_UTF8, gbk.substr(i, len), piece, true)) {
      out += piece;
      i += len;
    } else {
      // A bad pair loses only its first byte, as an invalid sequence should.
      out += "\xEF\xBF\xBD";
      i += 1;
    }
  }
  return out;
}

bool Utf8ToGbk(std::string_view utf8, std::string& out) { return Convert(CP_UTF8, kGbk, utf8, out, true); }

// Text for a file or a pipe is UTF-8, whatever the system's code page.
std::string GbkToTerminal(std::string_view gbk) { return GbkToUtf8(gbk); }

bool TerminalToGbk(std::string_view text, std::string& out) { return Utf8ToGbk(text, out); }

bool Utf8ToUtf16(std::string_view utf8, std::wstring& out) {
  out.clear();
  if (utf8.empty()) return true;
  const int n = static_cast<int>(utf8.size());
  const int wide = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), n, nullptr, 0);
  if (wide <= 0) return false;
  out.assign(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), n, out.data(), wide);
  return true;
}

std::string Utf16ToUtf8(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int n = static_cast<int>(utf16.size());
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), n, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string out(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), n, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace platform
