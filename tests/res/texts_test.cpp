// The program's texts in both languages, and the build step that refuses a
// text without a usable English form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/text_encoding.h"
#include "res/strings.h"

namespace {

TEST(Texts, EachHasAChineseFormAndAnAsciiEnglishOne) {
  ASSERT_GT(std::size(res::kAllTexts), 70u);
  for (const res::NamedText& t : res::kAllTexts) {
    const std::string english = t.text->In(res::Language::English);
    const std::string chinese = platform::GbkToUtf8(t.text->In(res::Language::Chinese));
    EXPECT_FALSE(english.empty()) << t.name;
    EXPECT_TRUE(std::all_of(english.begin(), english.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        << t.name << ": " << english;
    EXPECT_NE(chinese, english) << t.name;
    EXPECT_EQ(chinese.find("\xEF\xBF\xBD"), std::string::npos) << t.name << " is whole GBK";
  }
}

TEST(Texts, ReadInTheLanguageInUse) {
  EXPECT_EQ(res::CurrentLanguage(), res::Language::Chinese) << "a process that never chooses speaks Chinese";
  res::UseLanguage(res::Language::English);
  const std::string english(res::kStopTransmit);
  res::UseLanguage(res::Language::Chinese);
  EXPECT_EQ(english, "Stop");
  EXPECT_EQ(platform::GbkToUtf8(static_cast<const char*>(res::kStopTransmit)), "停止发波");
}

#ifdef TEMPIOLA_GBKGEN
// Runs the converter on one table; its exit status and what it said.
int Convert(const std::string& table, std::string& said) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tempiola-gbkgen-test";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "t.strings", std::ios::binary) << table;
  const std::string command = std::string(TEMPIOLA_GBKGEN) + " " + (dir / "out.h").string() + " " +
                              (dir / "t.strings").string() + " 2>" + (dir / "err").string();
  const int status = std::system(command.c_str());
  std::ifstream err(dir / "err");
  said.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
  std::filesystem::remove_all(dir);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(TextConverter, RefusesATextWithoutAUsableEnglishForm) {
  struct Case {
    const char* table;
    const char* said;
  } const cases[] = {
      {"kA 确定\n", "kA has no English form"},
      {"kA 等待 %d 秒\nkA.en Waiting %f s\n", "different printf arguments"},
      {"kA 等待 %d 秒\nkA.en Waiting\n", "different printf arguments"},
      {"kA 确定\nkA.en Ok¡\n", "must be ASCII"},
      {"kA 确定\nkA.en \n", "must be ASCII and not empty"},
      {"kA.en OK\nkA 确定\n", "kA.en is not the English form of a text given before it"},
      {"kA 确定\nkA.en OK\nkA.en OK\n", "kA.en is not the English form"},
      {"kA 确定\nkA.en OK\nkA 取消\nkA.en Cancel\n", "given twice"},
  };
  for (const Case& c : cases) {
    std::string said;
    EXPECT_EQ(Convert(c.table, said), 1) << c.table;
    EXPECT_NE(said.find(c.said), std::string::npos) << c.table << said;
  }
  // ASCII needs no second form, data keeps its one, and 100% is no argument.
  std::string said;
  EXPECT_EQ(Convert("kA OK\n%data\nkB 宋体\n%texts\nkC 100%% 完成 %d\nkC.en 100%% done %d\n", said), 0) << said;
}
#endif

}  // namespace
