#include <cstdio>

#include "cli/cli.h"
#include "res/version.h"

namespace cli {

int RunVersion(int argc, char** argv, int first) {
  Args args;
  if (auto done = ParseCommand(argc, argv, first, {}, "version", "", args)) return *done;
  if (!args.positional().empty()) return Usage("version");
  std::printf("tempiola %s (%s)\n", kVersionText, kSpecialBuild);
  return 0;
}

}  // namespace cli
