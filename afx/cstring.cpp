#include "afx/cstring.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "afx/dialog_template.h"

int AfxGbkCharLength(const char* text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead == 0) return 0;
  if (lead >= 0x81 && lead <= 0xFE && text[1] != '\0') return 2;
  return 1;
}

int AfxGbkCutLength(const char* text, int maxBytes) {
  int pos = 0;
  while (true) {
    const int n = AfxGbkCharLength(text + pos);
    if (n == 0 || pos + n > maxBytes) return pos;
    pos += n;
  }
}

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
  const std::size_t oldLen = std::strlen(oldText);
  std::string out;
  int count = 0;
  const char* p = text_.c_str();
  const char* end = p + text_.size();
  while (p < end) {
    if (static_cast<std::size_t>(end - p) >= oldLen && std::memcmp(p, oldText, oldLen) == 0) {
      out += newText;
      p += oldLen;
      ++count;
      continue;
    }
    const int n = AfxGbkCharLength(p);
    out.append(p, static_cast<std::size_t>(n));
    p += n;
  }
  if (count > 0) text_ = std::move(out);
  return count;
}

int CString::Find(const char* text, int start) const {
  if (text == nullptr || start < 0) return -1;
  const std::size_t len = std::strlen(text);
  const char* base = text_.c_str();
  const char* end = base + text_.size();
  const char* p = base;
  while (p < end && p - base < start) p += AfxGbkCharLength(p);
  for (; p <= end; p += AfxGbkCharLength(p)) {
    if (static_cast<std::size_t>(end - p) >= len && std::memcmp(p, text, len) == 0) return static_cast<int>(p - base);
    if (p == end) break;
  }
  return -1;
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
