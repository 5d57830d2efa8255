// File names beyond ASCII, given on the command line or in the program's
// own folder, name the very files they say, whatever the system's code
// page.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"
#include "tests/cli_command.h"
#include "tests/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using cli_test::RunCli;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class FileNames : public ScratchDir {
 protected:
  // The list as the program shows it, one entry a line.
  std::vector<std::string> List(const std::vector<std::string>& command, const std::vector<std::string>& where) {
    std::vector<std::string> args{"servers", "list"};
    args.insert(args.end(), where.begin(), where.end());
    return Lines(cli_test::RunCommand(command, args).out);
  }
};

TEST_F(FileNames, NamesOnTheCommandLineAreTheFilesWritten) {
  // Latin, Chinese, and a character that GBK and every ANSI code page lack.
  const char* const names[] = {"café", "Jürgen", "输出", "服务器", "😀"};
  const std::vector<std::string> cli = test_support::CliCommand(TEMPIOLA_CLI_PATH);
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const std::string wav = dir_ + "/" + name + ".wav";
    cli_test::Result r = RunCli({"render", "--start", "2026-12-31 23:59:40", "--frames", "1", wav});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fs::exists(wav) ? fs::file_size(wav) : 0u, 44u + 1764000u);

    const std::string list = dir_ + "/" + name + ".dat";
    r = RunCli({"servers", "add", "mine.example", "--file", list});
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = List(cli, {"--file", list});
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(lines.back(), "#28 mine.example   []");
    r = RunCli({"servers", "delete", "1", "--file", list});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(List(cli, {"--file", list}).size(), 27u);
  }
  // One file for each name, and none under another.
  EXPECT_EQ(EntriesInDir(), 2 * std::size(names));
}

TEST_F(FileNames, TheListBesideAProgramInAFolderBeyondAscii) {
  for (const char* folder : {"José", "Jürgen/bin", "目录"}) {
    SCOPED_TRACE(folder);
    const fs::path home = fs::path(dir_) / folder;
    fs::create_directories(home);
    std::vector<std::string> copy = test_support::CliCommand(TEMPIOLA_CLI_PATH);
    const fs::path program = home / fs::path(copy.back()).filename();
    fs::copy_file(copy.back(), program);
    copy.back() = program.string();

    cli_test::Result r = cli_test::RunCommand(copy, {"servers", "add", "mine.example"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(home / "Server.dat"));
    EXPECT_FALSE(fs::exists(home.parent_path() / "Server.dat"));
    std::vector<std::string> lines = List(copy, {});
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(lines.back(), "#28 mine.example   []");
    r = cli_test::RunCommand(copy, {"servers", "delete", "28"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(List(copy, {}).size(), 27u);
  }
}

}  // namespace
