#include "platform/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

class ReplacingFileTest : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    target_ = dir_ + "/data.bin";
  }

  std::string target_;
};

TEST_F(ReplacingFileTest, CommitReplacesTheOldContentWhole) {
  std::ofstream(target_) << "old content";
  {
    platform::ReplacingFile out(target_);
    ASSERT_TRUE(out.Open());
    ASSERT_TRUE(out.file().Write("new", 3));
    // Readable back before the commit, as the CRC pass over a file needs.
    ASSERT_TRUE(out.file().Seek(0));
    char buf[8] = {};
    EXPECT_EQ(out.file().Read(buf, sizeof buf), 3);
    EXPECT_EQ(Slurp(target_), "old content");
    ASSERT_TRUE(out.Commit());
  }
  EXPECT_EQ(Slurp(target_), "new");
  EXPECT_EQ(EntriesInDir(), 1u);
}

TEST_F(ReplacingFileTest, AbandonedWriteLeavesTargetAndNoTemporary) {
  std::ofstream(target_) << "keep me";
  {
    platform::ReplacingFile out(target_);
    ASSERT_TRUE(out.Open());
    ASSERT_TRUE(out.file().Write("partial", 7));
  }
  EXPECT_EQ(Slurp(target_), "keep me");
  EXPECT_EQ(EntriesInDir(), 1u);
}

TEST_F(ReplacingFileTest, UnwritableDirectoryFailsToOpen) {
  platform::ReplacingFile out(dir_ + "/missing-dir/data.bin");
  EXPECT_FALSE(out.Open());
  EXPECT_NE(out.LastError(), 0);
  EXPECT_FALSE(out.Commit());
}

TEST_F(ReplacingFileTest, OnlyARegularFileIsReplaced) {
  const std::string fifo = dir_ + "/pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string sub = dir_ + "/sub";
  ASSERT_TRUE(fs::create_directory(sub));
  for (const std::string& target : {fifo, sub}) {
    platform::ReplacingFile out(target);
    EXPECT_FALSE(out.Open()) << target;
    EXPECT_NE(out.LastError(), 0);
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_directory(sub));
  EXPECT_EQ(EntriesInDir(), 2u) << "no temporary file made";
}

TEST_F(ReplacingFileTest, ExistingFileIsNotADirectory) {
  EXPECT_FALSE(platform::IsExistingFile(target_));
  EXPECT_FALSE(platform::IsExistingFile(dir_));
  std::ofstream(target_) << "x";
  EXPECT_TRUE(platform::IsExistingFile(target_));
  platform::File f;
  EXPECT_FALSE(f.Open(dir_, platform::File::Mode::kReadExisting));
  ASSERT_TRUE(f.Open(target_, platform::File::Mode::kReadWriteExisting));
  EXPECT_EQ(f.Size(), 1);
}

}  // namespace
