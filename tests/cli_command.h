// The command that runs tempiola-cli in the tests: the program built beside
// them, or the command in TEMPIOLA_CLI_COMMAND (a program and its leading
// arguments, separated by spaces). The second is how the same suites run
// the Windows build under Wine.
//
// The suites read the program's Chinese, whatever the machine's locale: the
// command sets the user's language (LC_MESSAGES, which Wine takes for the
// UI language too) and keeps UTF-8 output.
#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

inline std::vector<std::string> CliCommand(const char* built, const char* language = "zh_CN.UTF-8") {
  std::vector<std::string> command = {"/usr/bin/env", "-u", "LC_ALL", "LC_CTYPE=C.UTF-8",
                                      std::string("LC_MESSAGES=") + language};
  const char* given = std::getenv("TEMPIOLA_CLI_COMMAND");
  if (given == nullptr || *given == '\0') {
    command.emplace_back(built);
    return command;
  }
  std::istringstream words(given);
  for (std::string word; words >> word;) command.push_back(word);
  return command;
}

// The program file itself: the last word of the command.
inline std::string CliProgram(const char* built) { return CliCommand(built).back(); }

// True when the suite runs against the Windows build.
inline bool CliIsWindowsBuild() {
  const char* given = std::getenv("TEMPIOLA_CLI_COMMAND");
  return given != nullptr && std::string(given).ends_with(".exe");
}

}  // namespace test_support
