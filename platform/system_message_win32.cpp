#include "platform/system_message.h"

#include <windows.h>

namespace platform {

// Winsock and system codes alike, in the system's words; the trailing line
// break FormatMessage adds is dropped.
bool SystemErrorMessage(int code, std::string& text) {
  text.clear();
  if (code == 0) return false;
  char buf[512];
  const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   static_cast<DWORD>(code), 0, buf, sizeof buf, nullptr);
  if (n == 0) return false;
  text.assign(buf, n);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return !text.empty();
}

}  // namespace platform
