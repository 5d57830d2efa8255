#include "platform/user_language.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace platform {

bool UserReadsChinese() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return std::strncmp(value, "zh", 2) == 0;
  }
  return false;
}

}  // namespace platform
