#include "platform/system_message.h"

#include <windows.h>

namespace platform {

// Winsock and system codes alike, in the system's words, as the program's
// GBK text whatever the system's code page; the trailing line break
// FormatMessage adds is dropped.
bool SystemErrorMessage(int code, std::string& text) {
  text.clear();
  if (code == 0) return false;
  wchar_t wide[512];
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   static_cast<DWORD>(code), 0, wide, sizeof wide / sizeof wide[0], nullptr);
  if (n == 0) return false;
  const int bytes = ::WideCharToMultiByte(936, 0, wide, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return false;
  text.assign(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(936, 0, wide, static_cast<int>(n), text.data(), bytes, nullptr, nullptr);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return !text.empty();
}

}  // namespace platform
