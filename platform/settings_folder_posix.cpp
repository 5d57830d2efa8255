#include "platform/settings_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/text_encoding.h"

namespace platform {
namespace {

// Only a folder that refuses the user counts as an installed program's; one
// that is missing or unreadable for another reason is kept, and its save
// fails and is reported as before.
bool UserMayNotWrite(const std::string& dir) {
  if (::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) == 0) return false;
  return errno == EACCES || errno == EROFS || errno == EPERM;
}

// The XDG rule: $XDG_CONFIG_HOME when it is an absolute path, else
// $HOME/.config; empty when neither gives one.
std::string ConfigHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return {};
  std::string dir = home;
  if (dir.back() != '/') dir += '/';
  return dir + ".config";
}

}  // namespace

SettingsFolder FindSettingsFolder(const std::string& exeDir) {
  if (exeDir.empty() || !UserMayNotWrite(exeDir)) return {exeDir, {}, false};
  std::string config = ConfigHome();
  if (config.empty()) return {exeDir, {}, true};
  if (config.back() != '/') config += '/';
  return {config + "tempiola/", exeDir, false};
}

bool MakeSettingsFolder(const std::string& folder, int* error) {
  // Every missing folder on the way, as mkdir -p, each 0700: the XDG rule
  // for the configuration home, and nobody else's business below it.
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) == 0 || errno == EEXIST) continue;
    if (error) *error = errno;
    return false;
  }
  // One of them may have existed as something else.
  struct stat st {};
  const int failure = ::stat(folder.c_str(), &st) != 0 ? errno : S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
  if (failure != 0 && error) *error = failure;
  return failure == 0;
}

std::string PathForMessage(const std::string& path) {
  std::string gbk;
  if (Utf8ToGbk(path, gbk)) return gbk;
  // Character by character: a name need not be UTF-8, nor fit GBK.
  gbk.clear();
  for (std::size_t i = 0; i < path.size();) {
    const auto lead = static_cast<unsigned char>(path[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::string one;
    if (i + length <= path.size() && Utf8ToGbk(path.substr(i, length), one)) {
      gbk += one;
      i += length;
    } else {
      gbk += '?';
      ++i;
    }
  }
  return gbk;
}

}  // namespace platform
