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
// GBK -> UTF-16, for the system's wide-character calls; false (out empty)
// when the text is not valid GBK.
bool GbkToUtf16(std::string_view gbk, std::wstring& out);
#endif

}  // namespace platform
