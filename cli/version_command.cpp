#include <cstdio>

#include "cli/cli.h"
#include "res/version.h"

namespace cli {

int RunVersion(int argc, char** argv, int first) {
  Args args;
  std::string error;
  if (!args.Parse(argc, argv, first, {}, error)) return Fail(error);
  if (args.WantsHelp()) {
    std::printf("usage: tempiola-cli version\n");
    return 0;
  }
  if (!args.positional().empty()) return Usage("version");
  std::printf("tempiola %s (%s)\n", kVersionText, kSpecialBuild);
  return 0;
}

}  // namespace cli
