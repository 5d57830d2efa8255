#include "platform/module_path.h"

namespace platform {

std::size_t FileNameStart(std::string_view path, std::string_view separators) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < path.size()) {
      const auto trail = static_cast<unsigned char>(path[i + 1]);
      if (trail >= 0x40 && trail != 0x7F && trail != 0xFF) {
        ++i;  // a double-byte character, whatever its second byte
        continue;
      }
    }
    if (separators.find(path[i]) != std::string_view::npos) start = i + 1;
  }
  return start;
}

}  // namespace platform
