// Where the program keeps a file the user edits (the server list). Beside
// the executable wherever the user may write that folder: a Windows
// program, a build tree, a copy in one's home. A Linux program installed in
// a folder only an administrator may write keeps each user's own copy in
// $XDG_CONFIG_HOME/tempiola/ and reads the one beside the executable while
// the user has none.
#pragma once

#include <string>

namespace platform {

struct SettingsFolder {
  std::string folder;    // where the file is read and saved, ending in a separator
  std::string fallback;  // read instead while folder holds no such file; empty for none
  // folder is the executable's, which the user may not write, because the
  // environment names no home to keep the file in instead.
  bool noHome = false;
};

// The folder for the settings of a program in exeDir (ending in a
// separator).
SettingsFolder FindSettingsFolder(const std::string& exeDir);

// Makes the missing folders of a settings folder of the user's own (one
// with a fallback), each readable by the user alone, so that a file can be
// saved there. (The executable's folder is used as it is.) False with the
// errno value in *error when a folder could not be made.
bool MakeSettingsFolder(const std::string& folder, int* error);

// A file name as the program's own (GBK) text, for messages; characters it
// cannot hold become '?'.
std::string PathForMessage(const std::string& path);

}  // namespace platform
