// tempiola-cli: the command-line companion of the window program.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/cli.h"
#include "cli/commands.h"
#include "platform/console.h"
#include "platform/time_zone.h"
#include "platform/user_language.h"
#include "res/language.h"
#include "res/strings.h"

namespace {

void PrintHelp(FILE* to) {
  std::fprintf(to, "usage: tempiola-cli COMMAND [ARGS...] [--help]\n\ncommands:\n");
  for (int i = 0; i < cli::kCommandCount; ++i) {
    std::fprintf(to, "  %-10s %s\n", cli::kCommands[i].name, cli::kCommands[i].summary);
  }
}

}  // namespace

int main(int rawArgc, char** rawArgv) {
  res::UseLanguage(platform::UserReadsChinese() ? res::Language::Chinese : res::Language::English);
  // Local times would be hours off without a word: say that TZ is ignored.
  if (platform::TimeZoneVariable() == platform::ZoneVariable::Ignored) {
    cli::PrintGbkError(std::string("tempiola-cli: ") + static_cast<const char*>(res::kTimeZoneVariableIgnored));
  }
  platform::CommandLine commandLine(rawArgc, rawArgv);
  const int argc = commandLine.argc();
  char** argv = commandLine.argv();
  if (argc < 2) return cli::Usage("COMMAND [ARGS...]");
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintHelp(stdout);
    return 0;
  }
  for (int i = 0; i < cli::kCommandCount; ++i) {
    if (std::strcmp(argv[1], cli::kCommands[i].name) == 0) return cli::kCommands[i].run(argc, argv, 2);
  }
  return cli::Fail(std::string("unknown command ") + argv[1] + " (see tempiola-cli --help)");
}
