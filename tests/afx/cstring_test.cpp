// The GBK string: replacing and searching go character by character.
#include <gtest/gtest.h>

#include "afx/cstring.h"

namespace {

// Replace goes left to right over whole characters only, and says how
// many it replaced.
TEST(CString, ReplaceMatchesWholeCharactersLeftToRight) {
  struct Case {
    const char *text, *old, *with;
    int count;
    const char* result;
  };
  const Case cases[] = {
      // 丂 is 81 40 in GBK: its trail byte is '@'. Removing "@" must not cut it.
      {"\x81@a@b", "@", "", 1, "\x81@ab"},
      // "[" is 5B, the trail byte of many characters (e.g. 乕 81 5B).
      {"\x81[[x]", "[", "", 1, "\x81[x]"},
      {"aaa", "aa", "b", 1, "ba"},
      {"#1   a.b.c   [x]", " ", "", 6, "#1a.b.c[x]"},
      {"abc", "", "x", 0, "abc"},
      {"abc", "z", "x", 0, "abc"},
      {"\xD6\xD0\xCE\xC4", "\xCE\xC4", "\xD7\xD6", 1, "\xD6\xD0\xD7\xD6"},  // 中文 to 中字
  };
  for (const Case& c : cases) {
    CString s(c.text);
    EXPECT_EQ(s.Replace(c.old, c.with), c.count) << c.text;
    EXPECT_STREQ(s, c.result);
  }
}

TEST(CString, FindSkipsTrailBytes) {
  CString s("\x81@@");
  EXPECT_EQ(s.Find("@"), 2);
  EXPECT_EQ(s.Find("#"), -1);
  EXPECT_EQ(s.Find("@", 2), 2);
  EXPECT_EQ(s.Find("@", 3), -1);
  // A NUL inside the text is a character like any other, not an end.
  CString nul("a\0@", 3);
  EXPECT_EQ(nul.Find("@"), 2);
  EXPECT_EQ(nul.Replace("@", "b"), 1);
  EXPECT_EQ(nul, CString("a\0b", 3));
}

TEST(CString, FormatAndLoadString) {
  CString s;
  s.Format("#%d %s", 12, "x");
  EXPECT_STREQ(s, "#12 x");
  CString about;
  EXPECT_TRUE(about.LoadString(101));
  EXPECT_STREQ(about, "\xB9\xD8\xD3\xDA Tempiola(&A)...");  // 关于
  EXPECT_FALSE(about.LoadString(9999));
  EXPECT_TRUE(about.IsEmpty());
}

}  // namespace
