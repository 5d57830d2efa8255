// The commands of tempiola-cli. Each takes the whole argv and the index of
// its first own argument, and returns the process exit status.
#pragma once

namespace cli {

struct Command {
  const char* name;
  const char* summary;
  int (*run)(int argc, char** argv, int first);
};

// One row per command; main.cpp lists them for --help.
extern const Command kCommands[];
extern const int kCommandCount;

}  // namespace cli
