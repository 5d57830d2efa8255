// The file name within a path, as the executable's directory is cut.
#include <gtest/gtest.h>

#include "platform/module_path.h"

namespace {

TEST(FileNameStart, AfterTheLastSeparatorOfEitherKind) {
  EXPECT_EQ(platform::FileNameStart("C:\\a\\b/tempiola.exe", "\\/"), 7u);
  EXPECT_EQ(platform::FileNameStart("C:\\a/b\\tempiola.exe", "\\/"), 7u);
  EXPECT_EQ(platform::FileNameStart("tempiola.exe", "\\/"), 0u);
  EXPECT_EQ(platform::FileNameStart("", "\\/"), 0u);
  EXPECT_EQ(platform::FileNameStart("/opt/x/tempiola", "/"), 7u);
}

TEST(FileNameStart, ACharacterBeyondAsciiNeverHidesTheSeparatorAfterIt) {
  // UTF-8 "目" ends in 0xAE, which read as GBK would pair with the '\\'.
  EXPECT_EQ(platform::FileNameStart("C:\\\xE7\x9B\xAE\\tempiola.exe", "\\/"), 7u);
}

TEST(ExecutableDirectory, EndsInTheSystemsSeparatorAndHoldsTheProgram) {
  const std::string dir = platform::ExecutableDirectory();
  const std::string path = platform::ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(dir.back(), platform::kDirectorySeparators[0]);
  EXPECT_EQ(path.compare(0, dir.size(), dir), 0);
  EXPECT_EQ(path.find_first_of(platform::kDirectorySeparators, dir.size()), std::string::npos);
}

}  // namespace
