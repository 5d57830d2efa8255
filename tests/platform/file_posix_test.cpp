#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file.h"
#include "tests/platform/replacing_file_test.h"

namespace {

namespace fs = std::filesystem;

TEST_F(ReplacingFileTest, OnlyARegularFileIsReplaced) {
  const std::string fifo = dir_ + "/pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  platform::ReplacingFile out(fifo);
  EXPECT_FALSE(out.Open());
  EXPECT_NE(out.LastError(), 0);
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(EntriesInDir(), 1u) << "no temporary file made";
}

TEST_F(ReplacingFileTest, TheNewFileTakesTheOldOnesPlaceWithItsPermissionsAndThroughALink) {
  std::ofstream(target_) << "old";
  ASSERT_EQ(::chmod(target_.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(target_.c_str(), 65534, 65534), 0);
  }
  ASSERT_TRUE(Commit(target_, "new"));
  struct stat st {};
  ASSERT_EQ(::stat(target_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 65534u);
  }

  // A link: the file it names is replaced, the link stays.
  const std::string link = dir_ + "/link.bin";
  ASSERT_EQ(::symlink("data.bin", link.c_str()), 0);
  ASSERT_TRUE(Commit(link, "through"));
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
  EXPECT_TRUE(Commit(longName, "long"));
  EXPECT_EQ(Slurp(longName), "long");
  EXPECT_EQ(EntriesInDir(), 4u) << "nothing else was left";
}

}  // namespace
