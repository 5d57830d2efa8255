#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file.h"
#include "platform/system_error.h"
#include "tests/platform/replacing_file_test.h"

namespace {

namespace fs = std::filesystem;

DWORD Attributes(const fs::path& path) { return ::GetFileAttributesW(path.wstring().c_str()); }

TEST_F(ReplacingFileTest, AReadOnlyFileIsRefusedAndUntouched) {
  std::ofstream(target_) << "read only";
  ASSERT_TRUE(::SetFileAttributesW(fs::path(target_).wstring().c_str(), FILE_ATTRIBUTE_READONLY));
  {
    platform::ReplacingFile out(target_);
    EXPECT_FALSE(out.Open());
    EXPECT_EQ(out.LastError(), platform::kErrorAccessDenied);
    EXPECT_FALSE(out.Commit());
  }
  EXPECT_EQ(Slurp(target_), "read only");
  EXPECT_TRUE(Attributes(target_) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(EntriesInDir(), 1u) << "no temporary file made";
  ::SetFileAttributesW(fs::path(target_).wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ReplacingFileTest, AFailedReplacementKeepsTheOldContentAndLeavesNoTemporary) {
  std::ofstream(target_) << "old";
  // Held open by a program that lets nobody delete or rename it.
  HANDLE holder = ::CreateFileW(fs::path(target_).wstring().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  {
    platform::ReplacingFile out(target_);
    ASSERT_TRUE(out.Open());
    ASSERT_TRUE(out.file().Write("new", 3));
    EXPECT_FALSE(out.Commit());
    EXPECT_NE(out.LastError(), 0);
  }
  ::CloseHandle(holder);
  EXPECT_EQ(Slurp(target_), "old");
  EXPECT_EQ(EntriesInDir(), 1u);
}

TEST_F(ReplacingFileTest, TheNewFileKeepsTheOldOnesAttributesAndItsUtf8Name) {
  // "服务器.dat" in UTF-8, as the program holds its paths.
  const std::string utf8Name = dir_ + "\\\xE6\x9C\x8D\xE5\x8A\xA1\xE5\x99\xA8.dat";
  const fs::path wideName = fs::path(dir_) / L"\u670D\u52A1\u5668.dat";
  ASSERT_TRUE(Commit(utf8Name, "first"));
  ASSERT_TRUE(fs::exists(wideName));
  EXPECT_EQ(Attributes(wideName) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY), 0u);
  EXPECT_TRUE(platform::IsExistingFile(utf8Name));

  ASSERT_TRUE(::SetFileAttributesW(wideName.wstring().c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(Commit(utf8Name, "second"));
  EXPECT_EQ(Attributes(wideName) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY), FILE_ATTRIBUTE_HIDDEN);
  std::ifstream in(wideName, std::ios::binary);
  std::string text;
  in >> text;
  EXPECT_EQ(text, "second");
  EXPECT_EQ(EntriesInDir(), 1u);
}

// Only a writer killed between its commit and its rename leaves its new
// file behind; the next write beside it removes it once it is old enough
// not to be another writer's about to be renamed.
TEST_F(ReplacingFileTest, AnOldLeftoverNewFileGoesWithTheNextWrite) {
  const fs::path old = fs::path(dir_) / ".tempiola-0123abcd";
  const fs::path recent = fs::path(dir_) / ".tempiola-89abcdef";
  std::ofstream(old) << "left";
  std::ofstream(recent) << "busy";
  fs::last_write_time(old, fs::file_time_type::clock::now() - std::chrono::hours(1));
  ASSERT_TRUE(Commit(target_, "new"));
  EXPECT_FALSE(fs::exists(old));
  EXPECT_TRUE(fs::exists(recent));
  EXPECT_EQ(Slurp(target_), "new");
}

}  // namespace
