#include "platform/module_path.h"

namespace platform {

std::size_t FileNameStart(std::string_view path, std::string_view separators) {
  const std::size_t last = path.find_last_of(separators);
  return last == std::string_view::npos ? 0 : last + 1;
}

}  // namespace platform
