#include "platform/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
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

TEST_F(ReplacingFileTest, TheNewFileTakesTheOldOnesPlaceWithItsPermissionsAndThroughALink) {
  const auto commit = [](const std::string& target, const char* text) {
    platform::ReplacingFile out(target);
    return out.Open() && out.file().Write(text, std::strlen(text)) && out.Commit();
  };
  std::ofstream(target_) << "old";
  ASSERT_EQ(::chmod(target_.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(target_.c_str(), 65534, 65534), 0);
  }
  ASSERT_TRUE(commit(target_, "new"));
  struct stat st {};
  ASSERT_EQ(::stat(target_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 65534u);
  }

  // A link: the file it names is replaced, the link stays.
  const std::string link = dir_ + "/link.bin";
  ASSERT_EQ(::symlink("data.bin", link.c_str()), 0);
  ASSERT_TRUE(commit(link, "through"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Slurp(target_), "through");
  // A link to nothing is refused rather than turned into a file.
  const std::string dangling = dir_ + "/dangling.bin";
  ASSERT_EQ(::symlink("nowhere.bin", dangling.c_str()), 0);
  platform::ReplacingFile out(dangling);
  EXPECT_FALSE(out.Open());
  EXPECT_TRUE(fs::is_symlink(dangling));

  // A name as long as the directory allows.
  const std::string longName = dir_ + "/" + std::string(254, 'n');
  EXPECT_TRUE(commit(longName, "long"));
  EXPECT_EQ(Slurp(longName), "long");
  EXPECT_EQ(EntriesInDir(), 4u) << "nothing else was left";
}

}  // namespace
