#include "platform/module_path.h"

#include <windows.h>

#include <vector>

#include "platform/text_encoding.h"

namespace platform {

// The wide call, so that a folder named in any language is found whatever
// the system's code page; the path is kept as UTF-8 like every other.
std::string ExecutablePath() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    // n == size: the path was cut short, and a cut path names nothing.
    if (n < buf.size()) return Utf16ToUtf8(std::wstring_view(buf.data(), n));
    if (buf.size() >= 32768) return {};
    buf.resize(buf.size() * 4);
  }
}

const char kDirectorySeparators[] = "\\/";

std::string ExecutableDirectory() {
  std::string path = ExecutablePath();
  const std::size_t start = FileNameStart(path);
  if (start > 0) path.erase(start - 1);
  return path + kDirectorySeparators[0];
}

}  // namespace platform
