#include "afx/cstring.h"

#include <cstdarg>
#include <cstdio>
#include <string_view>

#include "afx/dialog_template.h"
#include "afx/gbk.h"

CString::CString(const char* text) : text_(text ? text : "") {}

CString::CString(const char* text, int length) : text_(text ? std::string(text, text + length) : std::string()) {}

CString& CString::operator=(const char* text) {
  text_ = text ? text : "";
  return *this;
}

CString& CString::operator+=(const char* text) {
  if (text) text_ += text;
  return *this;
}

CString& CString::operator+=(const CString& text) {
  text_ += text.text_;
  return *this;
}

int CString::Replace(const char* oldText, const char* newText) {
  if (oldText == nullptr || *oldText == '\0') return 0;
  if (newText == nullptr) newText = "";
  const std::string_view t = text_;
  const std::string_view wanted = oldText;
  std::string out;
  int count = 0;
  std::size_t at = 0;
  while (at < t.size()) {
    if (t.substr(at).starts_with(wanted)) {
      out += newText;
      at += wanted.size();
      ++count;
      continue;
    }
    const std::size_t n = GbkCharLength(t, at);
    out.append(t.substr(at, n));
    at += n;
  }
  if (count > 0) text_ = std::move(out);
  return count;
}

int CString::Find(const char* text, int start) const {
  if (text == nullptr || start < 0) return -1;
  const std::string_view t = text_;
  const std::string_view wanted = text;
  std::size_t at = 0;
  while (at < t.size() && at < static_cast<std::size_t>(start)) at += GbkCharLength(t, at);
  for (;; at += GbkCharLength(t, at)) {
    if (t.substr(at).starts_with(wanted)) return static_cast<int>(at);
    if (at == t.size()) return -1;
  }
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (n < 0) {
    text_.clear();
  } else {
    std::string buffer(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(buffer.data(), buffer.size(), format, again);
    buffer.resize(static_cast<std::size_t>(n));
    text_ = std::move(buffer);
  }
  va_end(again);
}

BOOL CString::LoadString(UINT id) {
  const char* text = FindStringResource(id);
  text_ = text ? text : "";
  return text ? TRUE : FALSE;
}
