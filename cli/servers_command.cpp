// tempiola-cli servers: show and edit the NTP server list in Server.dat with
// the same code the window program uses.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/file.h"
#include "platform/module_path.h"
#include "platform/text_encoding.h"
#include "res/strings.h"
#include "servers/server_entry.h"
#include "servers/server_list.h"

namespace cli {
namespace {

constexpr const char* kUsage =
    "servers list [--file PATH]\n"
    "       tempiola-cli servers add ADDRESS [REMARK] [--file PATH]\n"
    "       tempiola-cli servers delete N [--file PATH]\n"
    "       tempiola-cli servers restore [--file PATH]";

constexpr const char* kHelp =
    "usage: tempiola-cli servers list [--file PATH]\n"
    "       tempiola-cli servers add ADDRESS [REMARK] [--file PATH]\n"
    "       tempiola-cli servers delete N [--file PATH]\n"
    "       tempiola-cli servers restore [--file PATH]\n"
    "\n"
    "list     print the server entries as the main window shows them (the\n"
    "         built-in list when Server.dat is missing or damaged)\n"
    "add      append a server; blanks and control characters are removed from\n"
    "         the address, address and remark are cut to 62 bytes (GBK)\n"
    "delete   remove entry N, numbered as listed from 1\n"
    "restore  replace the list by the built-in list\n"
    "\n"
    "--file PATH  use PATH instead of Server.dat beside the executable\n";

// Exit status when the list could not be written.
constexpr int kExitSaveFailed = 1;

// Server.dat beside the executable, or PATH from --file; empty when neither
// gives a usable path.
std::string ListPath(const Args& args) {
  if (auto file = args.Value("--file")) return *file;
  if (platform::ExecutablePath().empty()) return {};
  return ServerFilePath(platform::ExecutableDirectory());
}

int Save(const std::string& path, const std::vector<ServerRow>& rows) {
  int error = 0;
  if (SaveServerFile(path, rows, &error)) return 0;
  PrintGbkError(res::kSaveServerListFailed);
  if (path.empty()) {
    std::fprintf(stderr, "tempiola-cli: the path of Server.dat beside the executable is too long; use --file\n");
  } else {
    std::fprintf(stderr, "tempiola-cli: %s: %s\n", path.c_str(), platform::ErrorText(error).c_str());
  }
  return kExitSaveFailed;
}

int List(const std::string& path) {
  for (const std::string& text : LoadServerEntryTexts(path)) PrintGbk(text);
  return 0;
}

int Add(const std::string& path, const std::vector<std::string>& words) {
  std::string address;
  std::string remark;
  if (!platform::TerminalToGbk(words[1], address)) {
    return Fail("the address holds characters that GBK cannot represent");
  }
  if (words.size() > 2 && !platform::TerminalToGbk(words[2], remark)) {
    return Fail("the remark holds characters that GBK cannot represent");
  }
  address = NormalizedServerAddress(address);
  if (address.empty()) return Fail("the address is empty once blanks and control characters are removed");

  std::vector<ServerRow> rows = ServerRowsFromEntryTexts(LoadServerEntryTexts(path));
  rows.push_back({address, CutServerRemark(remark)});
  return Save(path, rows);
}

int Delete(const std::string& path, const std::string& word) {
  std::vector<ServerRow> rows = ServerRowsFromEntryTexts(LoadServerEntryTexts(path));
  long long number = 0;
  if (!ParseInt(word, number)) return Fail("entry number " + word + " is not a whole number");
  if (number < 1 || static_cast<unsigned long long>(number) > rows.size()) {
    return Fail("there is no entry " + word + "; the list has " + std::to_string(rows.size()) + " entries");
  }
  rows.erase(rows.begin() + (number - 1));
  return Save(path, rows);
}

}  // namespace

int RunServers(int argc, char** argv, int first) {
  Args args;
  std::string error;
  if (!args.Parse(argc, argv, first, {.withValue = {"--file"}, .flags = {}}, error)) return Fail(error);
  if (args.WantsHelp()) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  const std::vector<std::string>& words = args.positional();
  if (words.empty()) return Usage(kUsage);
  if (auto file = args.Value("--file"); file && file->empty()) return Fail("--file needs a path");
  const std::string path = ListPath(args);
  const std::string& sub = words[0];

  if (sub == "list" && words.size() == 1) return List(path);
  if (sub == "add" && (words.size() == 2 || words.size() == 3)) return Add(path, words);
  if (sub == "delete" && words.size() == 2) return Delete(path, words[1]);
  if (sub == "restore" && words.size() == 1) return Save(path, DefaultServerRows());
  return Usage(kUsage);
}

}  // namespace cli
