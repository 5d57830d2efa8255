// Whether the user reads Chinese: the language the program speaks is chosen
// from it once at start.
#pragma once

namespace platform {

// Linux: the first of LC_ALL, LC_MESSAGES and LANG that is set and not
// empty names a Chinese locale ("zh..."), installed or not. Windows: the
// user's UI language is Chinese.
bool UserReadsChinese();

}  // namespace platform
