#include "platform/settings_folder.h"

#include <windows.h>

namespace platform {

// A Windows program keeps its settings beside itself.
SettingsFolder FindSettingsFolder(const std::string& exeDir) { return {exeDir, {}, false}; }

// There is no folder of the user's own to make: the list is beside the program.
bool MakeSettingsFolder(const std::string&, int*) { return true; }

// The program's file names are UTF-8 (platform/file.h); the code page's own
// substitute, '?', stands for a character GBK cannot hold.
std::string PathForMessage(const std::string& path) {
  if (path.empty()) return {};
  const int n = static_cast<int>(path.size());
  const int wide = ::MultiByteToWideChar(CP_UTF8, 0, path.data(), n, nullptr, 0);
  if (wide <= 0) return {};
  std::wstring w(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, path.data(), n, w.data(), wide);
  const int bytes = ::WideCharToMultiByte(936, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string gbk(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(936, 0, w.data(), wide, gbk.data(), bytes, nullptr, nullptr);
  return gbk;
}

}  // namespace platform
