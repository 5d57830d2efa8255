#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include "res/strings.h"

namespace {

TEST(ResourceText, ArrivesAsGbkBytes) {
  const std::string mode0 = res::kMode0.In(res::Language::Chinese);
  EXPECT_EQ(mode0, std::string("\xC4\xA3\xCA\xBD\x30"));
}

TEST(TextEncoding, RoundTripsBetweenGbkAndUtf8) {
  std::string gbk;
  ASSERT_TRUE(platform::Utf8ToGbk("模式0 NTP服务器：", gbk));
  EXPECT_EQ(gbk.substr(0, 5), "\xC4\xA3\xCA\xBD\x30");
  EXPECT_EQ(platform::GbkToUtf8(gbk), "模式0 NTP服务器：");
}

TEST(TextEncoding, RefusesWhatGbkCannotHold) {
  std::string gbk = "left alone?";
  EXPECT_FALSE(platform::Utf8ToGbk("\xF0\x9F\x98\x80", gbk));  // an emoji
  EXPECT_TRUE(gbk.empty());
  EXPECT_FALSE(platform::Utf8ToGbk("\xC3", gbk));  // cut UTF-8 sequence
}

TEST(TextEncoding, BrokenGbkBecomesReplacementCharacters) {
  // A lone lead byte at the end cannot be converted; the rest still is.
  EXPECT_EQ(platform::GbkToUtf8("ab\xC4"), "ab\xEF\xBF\xBD");
}

}  // namespace
