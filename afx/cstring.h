// A narrow text string in the program's code page (GBK, 936). Searching and
// replacing walk the text character by character, so a match never starts
// on the trail byte of a double-byte character.
#pragma once

#include <string>

#include "afx/afx_types.h"

class CString {
 public:
  CString() = default;
  CString(const char* text);  // NOLINT: converts like the framework's string
  CString(const char* text, int length);

  int GetLength() const { return static_cast<int>(text_.size()); }
  BOOL IsEmpty() const { return text_.empty() ? TRUE : FALSE; }
  void Empty() { text_.clear(); }
  const char* GetString() const { return text_.c_str(); }
  operator const char*() const { return text_.c_str(); }  // NOLINT

  CString& operator=(const char* text);
  CString& operator+=(const char* text);
  CString& operator+=(const CString& text);
  friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
  friend bool operator==(const CString& a, const char* b) { return a.text_ == (b ? b : ""); }

  // Replaces every occurrence of oldText by newText, scanning left to right
  // by characters; returns the number of replacements. An empty oldText
  // replaces nothing.
  int Replace(const char* oldText, const char* newText);

  // Byte index of the first occurrence at a character boundary, or -1.
  int Find(const char* text, int start = 0) const;

  // printf-style formatting of the whole string.
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Loads a string resource; FALSE (and an empty string) when there is none.
  BOOL LoadString(UINT id);

 private:
  std::string text_;
};
