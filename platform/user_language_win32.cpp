#include "platform/user_language.h"

#include <windows.h>

namespace platform {

bool UserReadsChinese() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE; }

}  // namespace platform
