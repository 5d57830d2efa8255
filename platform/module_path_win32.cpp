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

std::string ExecutableDirectory() {
  std::string path = ExecutablePath();
  const size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos) path.erase(slash);
  return path + "\\";
}

}  // namespace platform
