// Cutting GBK text to a byte budget keeps every character whole.
#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

#include "afx/gbk.h"

namespace {

struct CutCase {
  std::string_view text;
  std::size_t maxBytes;
  std::size_t expected;
  const char* why;
};

constexpr CutCase kCutCases[] = {
    {"abc", 10, 3, "the text ends first"},
    {"abc", 0, 0, "no room"},
    {"ab\xD6\xD0", 3, 2, "the lead byte goes with its trail byte"},
    {"ab\xD6\xD0", 4, 4, "the whole character fits"},
    {"ab\xD6", 10, 3, "a lone lead byte at the end counts as one"},
    {"a\xD6\xD0", 2, 1, "cut before a character"},
    {"a\xD6\xD0", 3, 3, "exactly full"},
    {"\x80x", 1, 1, "0x80 stands alone"},
    {"\x81@@", 2, 2, "a trail byte like '@' is not a character"},
    {"\x81@@", 1, 0, "nor a cut point"},
};

TEST(Gbk, CutLengthNeverSplitsACharacter) {
  for (const CutCase& c : kCutCases) {
    EXPECT_EQ(GbkCutLength(c.text, c.maxBytes), c.expected) << c.why;
  }
}

TEST(Gbk, CopyCutEndsTheCopyWithANul) {
  for (const CutCase& c : kCutCases) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GbkCopyCut(c.text, buffer, c.maxBytes + 1), c.expected) << c.why;
    EXPECT_EQ(std::string_view(buffer), c.text.substr(0, c.expected)) << c.why;
    EXPECT_EQ(buffer[c.expected + 1], '#') << c.why << ": nothing written past the NUL";
  }
}

TEST(Gbk, FindsASingleByteOnlyAtACharacterStart) {
  EXPECT_EQ(FindGbkChar("\x81[[x]", '['), 2u);
  EXPECT_EQ(FindGbkChar("\x81[[x]", ']', 3), 4u);
  EXPECT_EQ(FindGbkChar("\x81[", '['), std::string_view::npos);
}

}  // namespace
