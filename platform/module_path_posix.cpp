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

std::string ExecutableDirectory() {
  std::string path = ExecutablePath();
  size_t slash = path.find_last_of('/');
  if (slash != std::string::npos) path.erase(slash);
  return path + "/";
}

}  // namespace platform
