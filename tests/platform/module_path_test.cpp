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

TEST(FileNameStart, ASecondByteEqualToABackslashIsNoSeparator) {
  // "\x81\x5C" and "\xD5\x5C" are single characters whose second byte is '\\'.
  EXPECT_EQ(platform::FileNameStart("C:\\\x81\x5C\\tempiola.exe", "\\/"), 6u);
  EXPECT_EQ(platform::FileNameStart("C:\\dir\\\xD5\x5C.exe", "\\/"), 7u);
  // A lead byte with no valid second byte is a byte of its own.
  EXPECT_EQ(platform::FileNameStart("C:\\\x81/x.exe", "\\/"), 5u);
  EXPECT_EQ(platform::FileNameStart("C:\\d\\\x81", "\\/"), 5u);
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
