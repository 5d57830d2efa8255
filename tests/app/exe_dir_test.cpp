// The executable's directory as the program keeps it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/tempiola_app.h"
#include "ui/app_globals.h"

namespace {

TEST(ExeDir, CutAtTheLastSeparatorWhichStays) {
  SetExeDirFromPath("/opt/tempiola/bin/tempiola");
  EXPECT_STREQ(g_exeDir, "/opt/tempiola/bin/");
  SetExeDirFromPath("/tempiola");
  EXPECT_STREQ(g_exeDir, "/");
}

TEST(ExeDir, APathWithoutSeparatorStaysWholeAndGetsOne) {
  SetExeDirFromPath("tempiola");
  EXPECT_STREQ(g_exeDir, "tempiola/");
  SetExeDirFromPath("");
  EXPECT_STREQ(g_exeDir, "/");
}

TEST(ExeDir, ALongPathIsBoundedAndStillEndsInTheSeparator) {
  const std::string longDir = "/" + std::string(400, 'd');
  SetExeDirFromPath((longDir + "/tempiola").c_str());
  EXPECT_EQ(std::strlen(g_exeDir), static_cast<std::size_t>(kExeDirSize - 1));
  EXPECT_EQ(g_exeDir[kExeDirSize - 2], '/');
}

}  // namespace
