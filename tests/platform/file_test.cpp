#include "platform/file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "platform/file_lock.h"
#include "platform/system_error.h"
#include "tests/platform/replacing_file_test.h"

namespace {

namespace fs = std::filesystem;

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
  // A new target is made whole in the same way.
  EXPECT_TRUE(Commit(dir_ + "/fresh.bin", "fresh"));
  EXPECT_EQ(Slurp(dir_ + "/fresh.bin"), "fresh");
  EXPECT_EQ(EntriesInDir(), 2u);
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

TEST_F(ReplacingFileTest, ADirectoryIsNeitherOpenedNorReplaced) {
  EXPECT_FALSE(platform::IsExistingFile(target_));
  EXPECT_FALSE(platform::IsExistingFile(dir_));
  const std::string sub = dir_ + "/sub";
  ASSERT_TRUE(fs::create_directory(sub));
  platform::ReplacingFile out(sub);
  EXPECT_FALSE(out.Open());
  EXPECT_NE(out.LastError(), 0);
  EXPECT_TRUE(fs::is_directory(sub));
  EXPECT_EQ(EntriesInDir(), 1u) << "no temporary file made";

  std::ofstream(target_) << "x";
  EXPECT_TRUE(platform::IsExistingFile(target_));
  platform::File f;
  EXPECT_FALSE(f.Open(dir_, platform::File::Mode::kReadExisting));
  EXPECT_NE(f.LastError(), 0);
  ASSERT_TRUE(f.Open(target_, platform::File::Mode::kReadWriteExisting));
  EXPECT_EQ(f.Size(), 1);
  // A reader beside the writer, as another program reading the list.
  platform::File reader;
  ASSERT_TRUE(reader.Open(target_, platform::File::Mode::kReadExisting));
  char c = 0;
  EXPECT_EQ(reader.Read(&c, 1), 1);
  EXPECT_EQ(c, 'x');
}

TEST_F(ReplacingFileTest, TheUpdateLockIsHeldByOneTakerAtATime) {
  auto first = std::make_unique<platform::FileUpdateLock>(target_);
  ASSERT_TRUE(first->Locked()) << first->LastError();
  {
    platform::FileUpdateLock second(target_, 50);
    EXPECT_FALSE(second.Locked());
    EXPECT_EQ(second.LastError(), platform::kErrorLockTimedOut);
    // Another file in the same directory shares the lock.
    platform::FileUpdateLock sibling(dir_ + "/other.bin", 0);
    EXPECT_FALSE(sibling.Locked());
  }
  {
    // A taker already waiting when the holder lets go gets the lock, and
    // holds it against a newcomer.
    std::thread release([&first] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      first.reset();
    });
    platform::FileUpdateLock waiter(target_, 5000);
    release.join();
    EXPECT_TRUE(waiter.Locked()) << waiter.LastError();
    EXPECT_FALSE(platform::FileUpdateLock(target_, 0).Locked());
  }
  {
    platform::FileUpdateLock third(target_, 0);
    EXPECT_TRUE(third.Locked()) << third.LastError();
    // The lock does not keep the file from being replaced.
    EXPECT_TRUE(Commit(target_, "locked"));
    EXPECT_EQ(Slurp(target_), "locked");
  }
  // Nothing of the lock stays beside the file.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

}  // namespace
