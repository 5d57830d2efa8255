#include "platform/module_path.h"

#include <unistd.h>

#include <climits>

namespace platform {

std::string ExecutablePath() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  return std::string(buf, static_cast<size_t>(n));
}

const char kDirectorySeparators[] = "/";

std::string ExecutableDirectory() {
  std::string path = ExecutablePath();
  const std::size_t start = FileNameStart(path);
  if (start > 0) path.erase(start - 1);
  return path + kDirectorySeparators[0];
}

}  // namespace platform
