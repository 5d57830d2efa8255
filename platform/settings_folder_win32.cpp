#include "platform/settings_folder.h"

namespace platform {

// A Windows program keeps its settings beside itself.
SettingsFolder FindSettingsFolder(const std::string& exeDir) { return {exeDir, {}, false}; }

// There is no folder of the user's own to make: the list is beside the program.
bool MakeSettingsFolder(const std::string&, int*) { return true; }

// The program's file names are GBK text already.
std::string PathForMessage(const std::string& path) { return path; }

}  // namespace platform
