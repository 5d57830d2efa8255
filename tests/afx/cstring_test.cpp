// The GBK string: replacing and searching go character by character.
#include <gtest/gtest.h>

#include "afx/cstring.h"

namespace {

TEST(CString, ReplaceMatchesOnlyAtCharacterStarts) {
  // 丂 is 81 40 in GBK: its trail byte is '@'. Removing "@" must not cut it.
  CString s("\x81@a@b");
  EXPECT_EQ(s.Replace("@", ""), 1);
  EXPECT_STREQ(s, "\x81@ab");

  // "[" is 5B, the trail byte of many characters (e.g. 乕 81 5B).
  CString t("\x81[[x]");
  EXPECT_EQ(t.Replace("[", ""), 1);
  EXPECT_STREQ(t, "\x81[x]");
}

TEST(CString, ReplaceRemovesEveryOccurrenceLeftToRight) {
  CString s("aaa");
  EXPECT_EQ(s.Replace("aa", "b"), 1);
  EXPECT_STREQ(s, "ba");
  CString t("#1   a.b.c   [x]");
  EXPECT_EQ(t.Replace(" ", ""), 6);
  EXPECT_STREQ(t, "#1a.b.c[x]");
  CString u("abc");
  EXPECT_EQ(u.Replace("", "x"), 0);
  EXPECT_EQ(u.Replace("z", "x"), 0);
  EXPECT_STREQ(u, "abc");
  CString w("\xD6\xD0\xCE\xC4");  // 中文
  EXPECT_EQ(w.Replace("\xCE\xC4", "\xD7\xD6"), 1);
  EXPECT_STREQ(w, "\xD6\xD0\xD7\xD6");
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
