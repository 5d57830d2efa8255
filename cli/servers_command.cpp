// tempiola-cli servers: show and edit the NTP server list in Server.dat with
// the same code the window program uses, in the same place.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/file.h"
#include "platform/file_lock.h"
#include "platform/module_path.h"
#include "platform/system_error.h"
#include "platform/text_encoding.h"
#include "res/strings.h"
#include "servers/server_entry.h"
#include "servers/server_list.h"

namespace cli {
namespace {

constexpr const char* kUsage = "servers list|add ADDRESS [REMARK]|delete N|restore [--file PATH]";

constexpr const char* kHelpSynopsis = "servers list [--file PATH]";
constexpr const char* kHelp =
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
    "--file PATH  use PATH instead of the program's Server.dat: the one beside\n"
    "             the executable, or, for an installed program on Linux,\n"
    "             $XDG_CONFIG_HOME/tempiola/Server.dat (~/.config/tempiola/)\n";

// Exit status when the list could not be written.
constexpr int kExitSaveFailed = 1;

// The program's list, as the window program finds it, or PATH from --file.
// The path is empty when none is usable.
ServerListFile ListFile(const Args& args) {
  if (auto file = args.Value("--file")) return ServerListAt(*file);
  if (platform::ExecutablePath().empty()) return {};
  return LocateServerList(platform::ExecutableDirectory());
}

int SaveFailed(const ServerListFile& list, int error) {
  const std::string& path = list.path;
  PrintGbkError(res::kSaveServerListFailed);
  if (path.empty()) {
    Report("the path of Server.dat is too long; use --file");
  } else if (error == platform::kErrorLockTimedOut) {
    Report(path + ": another program is changing the server list; try again");
  } else {
    Report(path + ": " + platform::ErrorText(error));
  }
  if (list.noHome) {
    Report("neither XDG_CONFIG_HOME nor HOME names a folder, so the list stays beside the executable; use --file");
  }
  return kExitSaveFailed;
}

// Reads the list, lets change edit it and saves it, all under the list's
// lock, so that another editor's save can neither come between nor be lost.
// change returns 0 to save, or an exit status to stop with; it edits the
// rows read unless it replaces them all.
int Update(const ServerListFile& list, const std::function<int(std::vector<ServerRow>&)>& change,
           bool replacesAll = false) {
  const std::string& path = list.path;
  int error = 0;
  if (!MakeServerListFolder(list, &error)) return SaveFailed(list, error);
  platform::FileUpdateLock lock(path);
  if (!path.empty() && !lock.Locked()) return SaveFailed(list, lock.LastError());
  bool damaged = false;
  std::vector<ServerRow> rows = ServerRowsFromEntryTexts(LoadServerEntryTexts(ServerListReadPath(list), &damaged));
  // The change is made to the built-in list and saved over the damaged
  // file, as the window's editor does; the user should know.
  if (damaged && !replacesAll) Report("the list was damaged; starting from the built-in list");
  if (int status = change(rows)) return status;
  return SaveServerFile(path, rows, &error) ? 0 : SaveFailed(list, error);
}

int List(const ServerListFile& list) {
  for (const std::string& text : LoadServerEntryTexts(ServerListReadPath(list))) PrintGbk(text);
  return 0;
}

int Add(const ServerListFile& list, const std::vector<std::string>& words) {
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
  // The entry text has no escape: these would not read back as written.
  if (address.find('[') != std::string::npos) return Fail("the address may not contain '['");
  remark = CutServerRemark(remark);
  if (remark.find(']') != std::string::npos) return Fail("the remark may not contain ']'");

  return Update(list, [&](std::vector<ServerRow>& rows) {
    rows.push_back({address, remark});
    return 0;
  });
}

int Delete(const ServerListFile& list, const std::string& word) {
  long long number = 0;
  if (!ParseInt(word, number)) return Fail("entry number " + word + " is not a whole number");
  return Update(list, [&](std::vector<ServerRow>& rows) {
    if (number < 1 || static_cast<unsigned long long>(number) > rows.size()) {
      return Fail("there is no entry " + word + "; the list has " + std::to_string(rows.size()) + " entries");
    }
    rows.erase(rows.begin() + (number - 1));
    return 0;
  });
}

}  // namespace

int RunServers(int argc, char** argv, int first) {
  Args args;
  if (auto done = ParseCommand(argc, argv, first, {{"--file"}, {}}, kHelpSynopsis, kHelp, args)) return *done;
  const std::vector<std::string>& words = args.positional();
  if (words.empty()) return Usage(kUsage);
  if (auto file = args.Value("--file"); file && file->empty()) return Fail("--file needs a path");
  const ServerListFile list = ListFile(args);
  const std::string& sub = words[0];

  if (sub == "list" && words.size() == 1) return List(list);
  if (sub == "add" && (words.size() == 2 || words.size() == 3)) return Add(list, words);
  if (sub == "delete" && words.size() == 2) return Delete(list, words[1]);
  if (sub == "restore" && words.size() == 1) {
    return Update(list, [](std::vector<ServerRow>& rows) {
      rows = DefaultServerRows();
      return 0;
    }, true);
  }
  return Usage(kUsage);
}

}  // namespace cli
