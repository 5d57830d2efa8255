// The help text is the user's guide: its layout (section rules, CR LF line
// ends, fixed lines) is what the read-only edit box relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/text_encoding.h"
#include "res/strings.h"

namespace {

const std::string kRule(70, '-');
const std::vector<std::string> kHeadings = {"软件介绍：", "功能解释：", "使用步骤：", "发波电台：", "注意事项：", "声明："};

std::string HelpText() { return platform::GbkToUtf8(res::kHelpText.In(res::Language::Chinese)); }

std::vector<std::string> SplitCrLf(const std::string& s) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t pos; (pos = s.find("\r\n", start)) != std::string::npos; start = pos + 2) {
    lines.push_back(s.substr(start, pos - start));
  }
  lines.push_back(s.substr(start));
  return lines;
}

// The six sections' bodies (text after each heading's line break, up to the
// next rule), with the separators checked on the way.
std::vector<std::string> Sections(const std::string& text) {
  std::vector<std::string> bodies;
  std::size_t pos = 0;
  for (std::size_t i = 0; i < kHeadings.size(); ++i) {
    const std::string head = (i == 0 ? "" : kRule) + kHeadings[i] + "\r\n";
    EXPECT_EQ(text.compare(pos, head.size(), head), 0) << "section " << i + 1;
    pos += head.size();
    std::size_t end = i + 1 < kHeadings.size() ? text.find("\r\n" + kRule, pos) : text.size();
    if (end == std::string::npos) return bodies;
    if (i + 1 < kHeadings.size()) end += 2;  // the body keeps its final line break
    bodies.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return bodies;
}

TEST(HelpText, IsValidGbkWithOnlyCrLfLineBreaks) {
  const std::string text = HelpText();
  EXPECT_EQ(text.find("\xEF\xBF\xBD"), std::string::npos) << "bytes that are not GBK";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "lone CR at " << i;
    }
    if (text[i] == '\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "lone LF at " << i;
    }
  }
  EXPECT_EQ(text.find('\t'), std::string::npos);
}

TEST(HelpText, SixSectionsSeparatedByRulesOfSeventyHyphensOnTheHeadingLine) {
  const std::string text = HelpText();
  EXPECT_EQ(text.rfind("软件介绍：\r\n", 0), 0u);
  // Exactly five maximal runs of hyphens, each 70 long, each at a line start
  // and followed at once by the next heading.
  std::vector<std::string> followers;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '-') { ++i; continue; }
    std::size_t j = i;
    while (j < text.size() && text[j] == '-') ++j;
    EXPECT_EQ(j - i, 70u) << "run at " << i;
    EXPECT_TRUE(i >= 2 && text.compare(i - 2, 2, "\r\n") == 0) << "rule not at a line start";
    followers.push_back(text.substr(j, text.find("\r\n", j) - j));
    i = j;
  }
  EXPECT_EQ(followers, std::vector<std::string>(kHeadings.begin() + 1, kHeadings.end()));
  EXPECT_EQ(Sections(text).size(), 6u);
}

TEST(HelpText, IntroductionHasThreeParagraphsNamingTheSimulator) {
  const auto sections = Sections(HelpText());
  ASSERT_EQ(sections.size(), 6u);
  const auto lines = SplitCrLf(sections[0]);
  ASSERT_EQ(lines.size(), 6u);  // three paragraphs, two empty lines, the final break
  EXPECT_FALSE(lines[0].empty());
  EXPECT_TRUE(lines[1].empty());
  EXPECT_FALSE(lines[2].empty());
  EXPECT_TRUE(lines[3].empty());
  EXPECT_FALSE(lines[4].empty());
  EXPECT_TRUE(lines[5].empty());
  EXPECT_NE(sections[0].find("“Orlavine”"), std::string::npos);
  EXPECT_NE(sections[0].find("BPC"), std::string::npos);
  EXPECT_NE(sections[0].find("NTP"), std::string::npos);
}

TEST(HelpText, FunctionsAndStepsAreExactlyTheseLines) {
  const auto sections = Sections(HelpText());
  ASSERT_EQ(sections.size(), 6u);
  EXPECT_EQ(sections[1],
            "NTP服务器：NTP授时服务器的地址，内置了27个。\r\n"
            "校准本机时间：获取NTP标准时间并对本机校时。\r\n"
            "查询标准时间：只获取NTP标准时间并显示时间偏差和网络延时，不对本机校时。\r\n"
            "修改服务器：自行修改、添加、删除NTP服务器地址，可以把失效的服务器删除。\r\n"
            "开始发波：用耳机模拟发送所选电台（默认BPC中国码）的电波，对电波表授时。\r\n"
            "停止发波：停止发送电波。\r\n"
            "发波模式：选择发波模式。\r\n"
            "发波电台：选择模拟哪个授时台的电波，见下面的“发波电台”。\r\n"
            "按标准时间发波：选中时，开始发波前先查询NTP标准时间，按标准时间发波，不需要校准本机时间。\r\n"
            "信息框：显示软件的运行信息。\r\n"
            "使用帮助：本帮助。\r\n");
  EXPECT_EQ(sections[2],
            "1.校准本机时间，此步骤不是必须的。\r\n"
            "2.电波表调到所选电台（如 BPC码）的强制收波状态。\r\n"
            "3.把耳机连接到计算机的耳机输出口，音量调到最大。\r\n"
            "4.使耳机固定到电波表接收天线的位置。\r\n"
            "5.选择发波模式。\r\n"
            "6.开始发波，此时耳机发出刺耳的滴滴声，等待直到电波表收波对时成功。\r\n"
            "7.停止发波。\r\n");
}

// Which station suits which watch: a line for each station of the list.
TEST(HelpText, NamesEveryStationOfTheListOnALineOfItsOwn) {
  const auto sections = Sections(HelpText());
  ASSERT_EQ(sections.size(), 6u);
  const auto lines = SplitCrLf(sections[3]);
  // Where the watches that listen to it are, so that the user can choose.
  const std::pair<const char*, const char*> stations[] = {{"BPC：", "中国"},       {"JJY40：", "日本东部"},
                                                          {"JJY60：", "日本西部"}, {"WWVB：", "北美"},
                                                          {"DCF77：", "欧洲"},     {"MSF：", "英国"}};
  for (const auto& [station, where] : stations) {
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.rfind(station, 0) == 0 && l.find(where) != std::string::npos;
    })) << station;
  }
}

TEST(HelpText, ThirteenNumberedNotesWithTheirBlankRuns) {
  const auto sections = Sections(HelpText());
  ASSERT_EQ(sections.size(), 6u);
  auto lines = SplitCrLf(sections[4]);
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_TRUE(lines.back().empty());
  lines.pop_back();
  const std::vector<int> withBlanks = {1, 3, 5, 9, 10, 11};
  for (int n = 1; n <= 13; ++n) {
    const std::string& note = lines[n - 1];
    char number[8];
    std::snprintf(number, sizeof number, "%02d.", n);
    EXPECT_EQ(note.rfind(number, 0), 0u) << note;
    // Longest run of blanks inside the note.
    std::size_t longest = 0, run = 0;
    for (char c : note) {
      run = c == ' ' ? run + 1 : 0;
      longest = std::max(longest, run);
    }
    const bool expected = std::find(withBlanks.begin(), withBlanks.end(), n) != withBlanks.end();
    if (expected) {
      EXPECT_GE(longest, 4u) << note;
      EXPECT_LE(longest, 5u) << note;
      EXPECT_NE(note.back(), ' ') << "the blanks stand inside the sentence";
    } else {
      EXPECT_LT(longest, 4u) << note;
    }
  }
  EXPECT_NE(lines[11].find("\"以管理员身份运行\""), std::string::npos);
}

TEST(HelpText, EndsWithTheStatementParagraphAndNoLineBreak) {
  const std::string text = HelpText();
  const auto sections = Sections(text);
  ASSERT_EQ(sections.size(), 6u);
  EXPECT_EQ(sections[5].find("\r\n"), std::string::npos) << "one paragraph";
  EXPECT_FALSE(sections[5].empty());
  EXPECT_NE(text.back(), '\n');
  EXPECT_NE(text.back(), '\r');
  EXPECT_NE(sections[5].find("免费"), std::string::npos);
}

}  // namespace
