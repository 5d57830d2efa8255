// File names beyond ASCII, given on the command line or in the program's
// own folder, name the very files they say, and messages about them reach
// the output in UTF-8 whole, whatever the system's language and code page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
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

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                             : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || lead == 0xC0 || lead == 0xC1 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
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

// The Windows suites run as a Chinese Windows too (TEMPIOLA_WINE_LOCALE),
// whose system messages are Chinese.
TEST_F(FileNames, AFailedWriteIsReportedInUtf8WithTheSystemsWords) {
  const cli_test::Result r =
      RunCli({"render", "--start", "2026-12-07 10:15:20", "--frames", "1", "/proc/nope/out.wav"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.starts_with("tempiola-cli: cannot write /proc/nope/out.wav: ")) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_TRUE(IsUtf8(r.err)) << r.err;
  const char* locale = std::getenv("TEMPIOLA_WINE_LOCALE");
  if (locale != nullptr && std::string_view(locale).starts_with("zh_CN")) {
    EXPECT_TRUE(std::any_of(r.err.begin(), r.err.end(), [](char c) { return (c & 0x80) != 0; })) << r.err;
  }
}

}  // namespace
