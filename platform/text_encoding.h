// Conversion between the program's GBK text and the UTF-8 of the outside
// world (terminal, window toolkit). Nothing else converts text.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// GBK -> UTF-8. Bytes that are not valid GBK become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 -> GBK. Returns false (and leaves out empty) when the text holds a
// character that GBK cannot represent or is not valid UTF-8.
bool Utf8ToGbk(std::string_view utf8, std::string& out);

// GBK -> the terminal's encoding (from the locale; UTF-8 where the locale
// names plain ASCII, and GBK passed through unchanged on a GBK terminal).
std::string GbkToTerminal(std::string_view gbk);

// The terminal's encoding -> GBK; false when not representable.
bool TerminalToGbk(std::string_view text, std::string& out);

#ifdef _WIN32
// File names are UTF-8 inside the Windows program, whatever the system's
// code page, and UTF-16 at the system's wide-character calls.
// UTF-8 -> UTF-16; false (out empty) when the text is not valid UTF-8.
bool Utf8ToUtf16(std::string_view utf8, std::wstring& out);
// UTF-16 -> UTF-8.
std::string Utf16ToUtf8(std::wstring_view utf16);
#endif

}  // namespace platform
