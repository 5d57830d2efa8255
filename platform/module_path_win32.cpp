#include "platform/module_path.h"

#include <windows.h>

namespace platform {

std::string ExecutablePath() {
  char buf[MAX_PATH];
  const DWORD n = ::GetModuleFileNameA(nullptr, buf, sizeof buf);
  // n == size: the path was cut short, and a cut path names nothing.
  if (n == 0 || n >= sizeof buf) return {};
  return std::string(buf, n);
}

const char kDirectorySeparators[] = "\\/";

std::string ExecutableDirectory() {
  std::string path = ExecutablePath();
  const std::size_t start = FileNameStart(path);
  if (start > 0) path.erase(start - 1);
  return path + kDirectorySeparators[0];
}

}  // namespace platform
