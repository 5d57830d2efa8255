#include <cstdio>

#include "cli/cli.h"

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
  std::printf("tempiola 1.0.0.1 (20170308)\n");
  return 0;
}

}  // namespace cli
