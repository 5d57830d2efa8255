// tempiola-cli servers, run as a separate process on a scratch Server.dat.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/text_encoding.h"
#include "tests/servers/scratch_dir.h"
#include "servers/default_servers.h"
#include "servers/server_file.h"
#include "servers/server_list.h"
#include "tests/cli_command.h"

namespace {

std::string Quoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// The locale settings of a Chinese user with UTF-8 output, for the runs of
// a copy of the program outside Cli().
const std::string kChineseUser = "LC_ALL= LC_CTYPE=C.UTF-8 LC_MESSAGES=zh_CN.UTF-8 ";

// The command that runs the program, quoted for the shell, for a user of
// the given language (locale name).
std::string Cli(const char* language = "zh_CN.UTF-8") {
  std::string command;
  for (const std::string& word : test_support::CliCommand(TEMPIOLA_CLI_PATH, language)) {
    command += (command.empty() ? "" : " ") + Quoted(word);
  }
  return command;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> DefaultsUtf8() {
  std::vector<std::string> lines;
  for (const char* text : DefaultServerTable) lines.push_back(platform::GbkToUtf8(text));
  return lines;
}

class ServersCliTest : public ScratchDirTest {
 protected:
  // Runs tempiola-cli in a UTF-8 locale after the shell commands in
  // prefix; returns the exit status.
  int Run(const std::vector<std::string>& args, const std::string& prefix = "",
          const char* language = "zh_CN.UTF-8") {
    std::string command = prefix + "LC_ALL=C.UTF-8 " + Cli(language);
    for (const std::string& a : args) command += " " + Quoted(a);
    command += " >" + Quoted(dir_ + "/out") + " 2>" + Quoted(dir_ + "/err");
    int status = std::system(command.c_str());
    out_ = Slurp(dir_ + "/out");
    err_ = Slurp(dir_ + "/err");
    std::filesystem::remove(dir_ + "/out");
    std::filesystem::remove(dir_ + "/err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int RunOnFile(std::vector<std::string> args, const std::string& prefix = "") {
    args.insert(args.begin(), "servers");
    args.push_back("--file");
    args.push_back(path_);
    return Run(args, prefix);
  }
  size_t FilesInDir() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_), {}));
  }

  std::string out_;
  std::string err_;
};

TEST_F(ServersCliTest, ListShowsTheBuiltInListWithoutCreatingTheFile) {
  ASSERT_EQ(RunOnFile({"list"}), 0) << err_;
  EXPECT_EQ(Lines(out_), DefaultsUtf8());
  EXPECT_EQ(FilesInDir(), 0u);

  Spit(path_, "damaged");
  ASSERT_EQ(RunOnFile({"list"}), 0);
  EXPECT_EQ(Lines(out_), DefaultsUtf8());
  EXPECT_EQ(Slurp(path_), "damaged");
}

TEST_F(ServersCliTest, AddAppendsToTheShownListThroughTheSaver) {
  ASSERT_EQ(RunOnFile({"add", " \tntp.example.org  ", "测试 备注"}), 0) << err_;
  std::vector<std::string> expected = DefaultsUtf8();
  expected.push_back("#28 ntp.example.org   [测试 备注]");
  ASSERT_EQ(RunOnFile({"list"}), 0);
  EXPECT_EQ(Lines(out_), expected);

  // The same bytes the library writes for these rows.
  const std::string written = Slurp(path_);
  std::vector<ServerRow> rows = DefaultServerRows();
  std::string remark;
  ASSERT_TRUE(platform::Utf8ToGbk("测试 备注", remark));
  rows.push_back({"ntp.example.org", remark});
  ASSERT_TRUE(SaveServerFile(path_, rows));
  EXPECT_EQ(Slurp(path_), written);

  // No remark: empty brackets. Remarks are cut to 62 bytes on a character
  // boundary: "a" and 31 two-byte characters make 63 bytes.
  std::string longRemark = "a";
  for (int i = 0; i < 31; ++i) longRemark += "国";
  ASSERT_EQ(RunOnFile({"add", "10.1.2.3"}), 0);
  ASSERT_EQ(RunOnFile({"add", "10.1.2.4", longRemark}), 0);
  ASSERT_EQ(RunOnFile({"list"}), 0);
  std::vector<std::string> lines = Lines(out_);
  ASSERT_EQ(lines.size(), 30u);
  EXPECT_EQ(lines[28], "#29 10.1.2.3   []");
  EXPECT_EQ(lines[29], "#30 10.1.2.4   [" + longRemark.substr(0, longRemark.size() - 3) + "]");
}

TEST_F(ServersCliTest, DeleteRenumbersAndRestoreBringsBackTheBuiltInList) {
  ASSERT_EQ(RunOnFile({"delete", "1"}), 0) << err_;
  ASSERT_EQ(RunOnFile({"delete", "26"}), 0) << err_;
  ASSERT_EQ(RunOnFile({"list"}), 0);
  std::vector<std::string> lines = Lines(out_);
  std::vector<std::string> defaults = DefaultsUtf8();
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines[0], "#1  114.118.7.163   [中国]");
  EXPECT_EQ(lines[24], "#25 time6.apple.com   [苹果]");

  ASSERT_EQ(RunOnFile({"restore"}), 0) << err_;
  ASSERT_EQ(RunOnFile({"list"}), 0);
  EXPECT_EQ(Lines(out_), defaults);
  EXPECT_EQ(Slurp(path_).size(), 12u + 27 * 256u);
}

TEST_F(ServersCliTest, BadInputIsRefusedWithStatusTwoAndTheFileUntouched) {
  ASSERT_TRUE(SaveServerFile(path_, {{"a.example", "x"}, {"b.example", "y"}}));
  const std::string before = Slurp(path_);
  const std::vector<std::vector<std::string>> bad = {
      {"add", " \t "},            // empty once normalised
      {"add", "　"},              // full-width space only
      {"add", "ntp.example.org", "😀"},  // GBK cannot hold it
      {"add", "ntp[1].example.org"},     // would not read back as typed
      {"add", "ntp.example.org", "a]b"},
      {"delete", "0"},
      {"delete", "3"},
      {"delete", "x"},
      {"delete", "-1"},
      {"add"},
      {"list", "extra"},
      {"frobnicate"},
  };
  for (const auto& args : bad) {
    EXPECT_EQ(RunOnFile(args), 2) << args[0] << " " << (args.size() > 1 ? args[1] : "");
    EXPECT_FALSE(err_.empty());
    EXPECT_EQ(Slurp(path_), before);
  }
  EXPECT_EQ(Run({"servers", "list", "--file"}), 2);
  EXPECT_EQ(Run({"servers", "list", "--file="}), 2);
  EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(ServersCliTest, FailedSaveSaysSoAndKeepsTheOldFile) {
  ASSERT_TRUE(SaveServerFile(path_, {{"a.example", "x"}}));
  const std::string before = Slurp(path_);
  // Files may grow to 2048 bytes only, as on a full disk; the new list needs
  // 12 + 28 * 256.
  EXPECT_EQ(RunOnFile({"restore"}, "trap '' XFSZ; ulimit -f 4; "), 1);
  EXPECT_NE(err_.find("保存服务器列表失败！"), std::string::npos) << err_;
  EXPECT_EQ(Slurp(path_), before);
  EXPECT_EQ(FilesInDir(), 1u);

  EXPECT_EQ(Run({"servers", "add", "b.example", "--file", dir_ + "/missing/Server.dat"}), 1);
  EXPECT_NE(err_.find("保存服务器列表失败！"), std::string::npos) << err_;
}

// A user whose language is not Chinese reads English; the list itself is
// data and reads as stored. (Wine takes "C.UTF-8" for the code page's
// language, so the English user here is en_US, installed or not.)
TEST_F(ServersCliTest, SpeaksEnglishToAUserWhoseLanguageIsNotChinese) {
  const std::string missing = dir_ + "/missing/Server.dat";
  for (const char* language : {"en_US.UTF-8", "C", "de_DE.UTF-8"}) {
    SCOPED_TRACE(language);
    EXPECT_EQ(Run({"servers", "add", "b.example", "--file", missing}, "", language), 1);
    EXPECT_NE(err_.find("Saving the server list failed!"), std::string::npos) << err_;
    EXPECT_EQ(err_.find("保存"), std::string::npos) << err_;
  }
  EXPECT_EQ(Run({"servers", "list", "--file", missing}, "", "en_US.UTF-8"), 0);
  EXPECT_EQ(Lines(out_), DefaultsUtf8());
}

TEST_F(ServersCliTest, AChangeToADamagedListSaysItStartsFromTheBuiltInList) {
  const std::string note = "the list was damaged; starting from the built-in list";
  std::vector<std::string> expected = DefaultsUtf8();
  Spit(path_, "damaged");
  ASSERT_EQ(RunOnFile({"add", "x.example"}), 0) << err_;
  EXPECT_NE(err_.find(note), std::string::npos) << err_;
  ASSERT_EQ(RunOnFile({"list"}), 0);
  expected.push_back("#28 x.example   []");
  EXPECT_EQ(Lines(out_), expected);

  ASSERT_EQ(RunOnFile({"delete", "28"}), 0);
  EXPECT_EQ(err_, "") << "a sound list is changed without a word";

  Spit(path_, "damaged");
  ASSERT_EQ(RunOnFile({"delete", "27"}), 0) << err_;
  EXPECT_NE(err_.find(note), std::string::npos) << err_;
  ASSERT_EQ(RunOnFile({"list"}), 0);
  EXPECT_EQ(Lines(out_).size(), 26u);
}

TEST_F(ServersCliTest, ControlCharactersFromTheFileReachTheTerminalEscaped) {
  ASSERT_TRUE(SaveServerFile(path_, {{"a.example", "\x1B]0;owned\x07\x1B[2J"}}));
  ASSERT_EQ(RunOnFile({"list"}), 0);
  EXPECT_EQ(out_, "#1 a.example   [\\x1B]0;owned\\x07\\x1B[2J]\n");
  // And from an argument, in a message.
  EXPECT_EQ(RunOnFile({"delete", "\x1B[2J"}), 2);
  EXPECT_EQ(err_, "tempiola-cli: entry number \\x1B[2J is not a whole number\n");
}

TEST_F(ServersCliTest, TwoEditorsAtOnceLoseNoEntry) {
  ASSERT_TRUE(SaveServerFile(path_, {{"first.example", ""}}));
  std::string loops;
  for (const char* who : {"a", "b"}) {
    loops += "(for i in $(seq 25); do LC_ALL=C.UTF-8 " + Cli() + " servers add " + who +
             "$i.example --file " + Quoted(path_) + " || echo failed; done) & ";
  }
  ASSERT_EQ(Run({"servers", "list", "--file", path_}, loops + "wait; "), 0);
  std::vector<std::string> lines = Lines(out_);
  ASSERT_EQ(lines.size(), 51u) << err_;
  for (const char* who : {"a", "b"}) {
    for (int i = 1; i <= 25; ++i) {
      const std::string address = std::string(" ") + who + std::to_string(i) + ".example ";
      EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                              [&](const std::string& l) { return l.find(address) != std::string::npos; }),
                1)
          << address;
    }
  }
}

TEST_F(ServersCliTest, AListTheUserMayOnlyReadIsShownAndNotReplaced) {
  ASSERT_TRUE(SaveServerFile(path_, {{"mine.example", "kept"}}));
  const std::string before = Slurp(path_);
  // Root may write anything: the commands run as an ordinary user then,
  // from a copy of the program that user may run. On Windows the file is
  // read-only by its attribute, which Wine takes from the permissions.
  std::string cli = Cli();
  std::string asUser;
  if (::geteuid() == 0 && !test_support::CliIsWindowsBuild()) {
    asUser = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    cli = dir_ + "/tempiola-cli";
    std::filesystem::copy_file(TEMPIOLA_CLI_PATH, cli);
    cli = Quoted(cli);
    ASSERT_EQ(::chmod(dir_.c_str(), 0777), 0);
  }
  ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
  const auto run = [&](const std::string& args) {
    const std::string command = asUser + "env " + kChineseUser + cli + " servers " + args + " --file " +
                                Quoted(path_) + " >" + Quoted(dir_ + "/out") + " 2>" + Quoted(dir_ + "/err");
    const int status = std::system(command.c_str());
    out_ = Slurp(dir_ + "/out");
    err_ = Slurp(dir_ + "/err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  ASSERT_EQ(run("list"), 0) << err_;
  EXPECT_EQ(out_, "#1 mine.example   [kept]\n");
  EXPECT_EQ(run("add other.example"), 1);
  EXPECT_NE(err_.find("保存服务器列表失败！"), std::string::npos) << err_;
  // The reason in the system's words (the Windows ones are not this
  // program's to know).
  if (!test_support::CliIsWindowsBuild()) {
    EXPECT_NE(err_.find(platform::ErrorText(EACCES)), std::string::npos) << err_;
  }
  EXPECT_EQ(Slurp(path_), before);
  EXPECT_EQ(std::filesystem::status(path_).permissions(), std::filesystem::perms(0444));
}

// Where the program keeps its list: beside itself in a folder the user may
// write; for an installed program (a folder the user may not write) in the
// user's configuration folder, read from beside the program until the user
// has a list of their own. Runs copies of the program as an ordinary user.
class ServerListPlace : public ServersCliTest {};

TEST_F(ServerListPlace, BesideAWritableProgramElseInTheUsersConfigurationFolder) {
  struct Case {
    const char* name;
    bool folderWritable;     // the program's folder, by the user
    const char* environment;  // assignments; "@" is the case's folder
    const char* saved;        // where `add` saves, below the case's folder; nullptr: it fails
    std::vector<const char*> made;  // folders the save made, each 0700
  };
  const std::vector<Case> cases = {
      {"a build tree or a copy at home", true, "HOME=@/home", "bin/Server.dat", {}},
      {"installed", false, "HOME=@/home", "home/.config/tempiola/Server.dat", {"home/.config", "home/.config/tempiola"}},
      {"XDG_CONFIG_HOME", false, "HOME=@/home XDG_CONFIG_HOME=@/home/conf/ig", "home/conf/ig/tempiola/Server.dat",
       {"home/conf", "home/conf/ig", "home/conf/ig/tempiola"}},
      {"XDG_CONFIG_HOME empty", false, "HOME=@/home XDG_CONFIG_HOME=", "home/.config/tempiola/Server.dat",
       {"home/.config", "home/.config/tempiola"}},
      {"XDG_CONFIG_HOME relative", false, "HOME=@/home XDG_CONFIG_HOME=conf", "home/.config/tempiola/Server.dat",
       {"home/.config", "home/.config/tempiola"}},
      {"XDG_CONFIG_HOME without HOME", false, "XDG_CONFIG_HOME=@/home/conf", "home/conf/tempiola/Server.dat",
       {"home/conf", "home/conf/tempiola"}},
      {"no home at all", false, "", nullptr, {}},
  };
  // Root may write anywhere: the program runs as nobody then.
  const bool root = ::geteuid() == 0;
  const std::string asUser = root ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string at = dir_ + "/" + std::to_string(++number);
    const std::string bin = at + "/bin";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(at + "/home");
    ASSERT_EQ(::chmod(at.c_str(), 0755), 0);
    ASSERT_EQ(::chmod((at + "/home").c_str(), 0777), 0);
    std::filesystem::copy_file(TEMPIOLA_CLI_PATH, bin + "/tempiola-cli");
    // The administrator's list beside the program.
    ASSERT_TRUE(SaveServerFile(bin + "/Server.dat", {{"site.example", "site"}}));
    const std::string site = Slurp(bin + "/Server.dat");
    // A folder of the user's own, or one only its owner (root) could write.
    if (c.folderWritable && root) {
      ASSERT_EQ(::chown(bin.c_str(), 65534, 65534), 0);
      ASSERT_EQ(::chown((bin + "/Server.dat").c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(::chmod(bin.c_str(), c.folderWritable ? 0755 : 0555), 0);

    std::string environment = c.environment;
    for (std::size_t p = environment.find('@'); p != std::string::npos; p = environment.find('@', p)) {
      environment.replace(p, 1, at);
    }
    const auto run = [&](const std::string& args) {
      const std::string command = asUser + "env -u HOME -u XDG_CONFIG_HOME " + environment + " " + kChineseUser +
                                  Quoted(bin + "/tempiola-cli") + " servers " + args + " >" +
                                  Quoted(dir_ + "/out") + " 2>" + Quoted(dir_ + "/err");
      const int status = std::system(command.c_str());
      out_ = Slurp(dir_ + "/out");
      err_ = Slurp(dir_ + "/err");
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };

    ASSERT_EQ(run("list"), 0) << err_;
    EXPECT_EQ(out_, "#1 site.example   [site]\n") << "the list beside the program while the user has none";
    if (c.saved == nullptr) {
      EXPECT_EQ(run("add mine.example"), 1);
      EXPECT_NE(err_.find("保存服务器列表失败！"), std::string::npos) << err_;
      EXPECT_NE(err_.find(bin + "/Server.dat"), std::string::npos) << err_;
      EXPECT_NE(err_.find("neither XDG_CONFIG_HOME nor HOME"), std::string::npos) << err_;
      EXPECT_EQ(Slurp(bin + "/Server.dat"), site);
    } else {
      ASSERT_EQ(run("add mine.example"), 0) << err_;
      ASSERT_EQ(run("list"), 0);
      EXPECT_EQ(out_, "#1 site.example   [site]\n#2 mine.example   []\n");
      const std::string saved = at + "/" + c.saved;
      EXPECT_EQ(Slurp(saved).size(), 12u + 2 * 256u);
      for (const char* folder : c.made) {
        struct stat st {};
        EXPECT_EQ(::stat((at + "/" + folder).c_str(), &st), 0) << folder;
        EXPECT_EQ(st.st_mode & 07777, 0700u) << folder;
      }
      if (!c.folderWritable) {
        EXPECT_EQ(Slurp(bin + "/Server.dat"), site) << "the administrator's list is left alone";
        // The user's own list comes first even when damaged: the built-in
        // list then, not the administrator's.
        Spit(saved, "damaged");
        ASSERT_EQ(run("list"), 0);
        EXPECT_EQ(Lines(out_), DefaultsUtf8());
      }
    }
    ASSERT_EQ(::chmod(bin.c_str(), 0755), 0);  // so that it can be cleared away
  }
}

}  // namespace
