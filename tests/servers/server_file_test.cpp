#include "servers/server_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/text_encoding.h"
#include "tests/servers/scratch_dir.h"
#include "servers/crc32.h"
#include "servers/default_servers.h"
#include "servers/server_list.h"
#include "tests/servers/refused_save.h"

namespace {

std::string Gbk(const char* utf8) {
  std::string out;
  EXPECT_TRUE(platform::Utf8ToGbk(utf8, out)) << utf8;
  return out;
}

// Bit by bit, to check the table-driven one against.
uint32_t BitwiseCrc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

std::string Le32(uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

std::string Field(const std::string& text, char fill = '\0') {
  std::string f = text + '\0';
  f.resize(128, fill);
  return f;
}

std::string WithCrc(const std::string& body) { return body + Le32(BitwiseCrc32(body)); }

std::string File(uint32_t magic, const std::vector<std::string>& records) {
  std::string body = Le32(magic) + Le32(static_cast<uint32_t>(records.size()));
  for (const std::string& r : records) body += r;
  return WithCrc(body);
}

std::vector<std::string> Defaults() { return {DefaultServerTable, DefaultServerTable + kDefaultServerCount}; }

TEST(Crc32, StandardCheckValueAndPiecewiseFeeding) {
  const std::string check = "123456789";
  uint32_t crc = 0xFFFFFFFF;
  UpdateCrc32(check.data(), static_cast<unsigned>(check.size()), crc);
  EXPECT_EQ(~crc, 0xCBF43926u);
  EXPECT_EQ(BitwiseCrc32(check), 0xCBF43926u);

  crc = 0xFFFFFFFF;
  UpdateCrc32(check.data(), 4, crc);
  UpdateCrc32(check.data() + 4, 0, crc);
  UpdateCrc32(check.data() + 4, 5, crc);
  EXPECT_EQ(~crc, 0xCBF43926u);

  std::string all;
  for (int i = 0; i < 3000; ++i) all += static_cast<char>(i * 7);
  crc = 0xFFFFFFFF;
  UpdateCrc32(all.data(), static_cast<unsigned>(all.size()), crc);
  EXPECT_EQ(~crc, BitwiseCrc32(all));
}

TEST(ServerFilePath, BuiltIn260BytesOrNotAtAll) {
  EXPECT_EQ(ServerFilePath("/opt/tempiola/"), "/opt/tempiola/Server.dat");
  const std::string fits = "/" + std::string(247, 'd') + "/";  // 249 + 10 = 259 bytes
  EXPECT_EQ(ServerFilePath(fits), fits + "Server.dat");
  EXPECT_EQ(ServerFilePath("/" + std::string(248, 'd') + "/"), "");
}

class ServerFileTest : public ScratchDirTest {};

TEST_F(ServerFileTest, SaveWritesTheFormatByteForByte) {
  const std::string china = Gbk("中国");
  ASSERT_TRUE(SaveServerFile(path_, {{"ntp.example.org", china}, {"10.0.0.1", ""}}));
  const std::string expected =
      File(0xABBC9C8C, {Field("ntp.example.org") + Field(china), Field("10.0.0.1") + Field("")});
  EXPECT_EQ(expected.size(), 12u + 2 * 256u);
  EXPECT_EQ(expected.substr(0, 4), "\x8C\x9C\xBC\xAB");
  EXPECT_EQ(Slurp(path_), expected);
  EXPECT_EQ(VerifyServerFile(path_), kServerFileUsable);
  EXPECT_EQ(LoadServerEntryTexts(path_),
            (std::vector<std::string>{"#1 ntp.example.org   [" + china + "]", "#2 10.0.0.1   []"}));
}

TEST_F(ServerFileTest, FileFromElsewhereReadsBackWithTheBytesAfterTerminatorsIgnored) {
  Spit(path_, File(0xABBC9C8C, {Field("time.example.com", '\xCC') + Field(Gbk("苹果"), '\x55')}));
  EXPECT_EQ(LoadServerEntryTexts(path_), std::vector<std::string>{"#1 time.example.com   [" + Gbk("苹果") + "]"});
}

TEST_F(ServerFileTest, MissingFileGivesTheBuiltInListAndCreatesNothing) {
  EXPECT_FALSE(ServerFileExists(path_));
  EXPECT_EQ(VerifyServerFile(path_), kServerFileDamaged);
  EXPECT_EQ(LoadServerEntryTexts(path_), Defaults());
  EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

TEST_F(ServerFileTest, AnyChangedByteGivesTheBuiltInListAndTheFileStays) {
  ASSERT_TRUE(SaveServerFile(path_, {{"a.example", "x"}, {"b.example", "y"}}));
  const std::string good = Slurp(path_);
  ASSERT_EQ(good.size(), 524u);
  for (size_t i = 0; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ 0x01);
    Spit(path_, bad);
    ASSERT_EQ(LoadServerEntryTexts(path_), Defaults()) << "byte " << i;
    ASSERT_EQ(Slurp(path_), bad) << "byte " << i;
  }
}

TEST_F(ServerFileTest, EmptyListIsATwelveByteFileThatStaysEmpty) {
  ASSERT_TRUE(SaveServerFile(path_, {}));
  EXPECT_EQ(Slurp(path_), File(0xABBC9C8C, {}));
  EXPECT_EQ(Slurp(path_).size(), 12u);
  EXPECT_TRUE(LoadServerEntryTexts(path_).empty());
  EXPECT_TRUE(ReloadServerEntryTexts(path_).empty());
}

TEST_F(ServerFileTest, OnlyTheCrcDecidesNotTheMagicNumber) {
  Spit(path_, File(0x12345678, {Field("ntp.example.org") + Field("r")}));
  EXPECT_EQ(LoadServerEntryTexts(path_), std::vector<std::string>{"#1 ntp.example.org   [r]"});
}

TEST_F(ServerFileTest, TooShortFilesAndDirectoriesAreDamaged) {
  for (const std::string& bytes : {std::string(), std::string("\x8C"), std::string("\x8C\x9C\xBC\xAB"),
                                   WithCrc(""), std::string(4, '\0')}) {
    Spit(path_, bytes);
    EXPECT_EQ(VerifyServerFile(path_), kServerFileDamaged) << bytes.size();
    EXPECT_EQ(LoadServerEntryTexts(path_), Defaults());
  }
  // Five bytes whose last four are the CRC of the first: usable, but no header.
  Spit(path_, WithCrc("x"));
  EXPECT_EQ(VerifyServerFile(path_), kServerFileUsable);
  EXPECT_EQ(LoadServerEntryTexts(path_), Defaults());

  std::filesystem::remove(path_);
  std::filesystem::create_directory(path_);
  EXPECT_FALSE(ServerFileExists(path_));
  EXPECT_EQ(LoadServerEntryTexts(path_), Defaults());
  EXPECT_EQ(ReloadServerEntryTexts(path_), Defaults());
}

TEST_F(ServerFileTest, CountThatDisagreesWithTheSizeIsDamagedDespiteTheCrc) {
  const std::string record = Field("a.example") + Field("r");
  // Count 2, one record; count 0 with one record; count 2^32-1.
  for (uint32_t count : {2u, 0u, 0xFFFFFFFFu}) {
    Spit(path_, WithCrc(Le32(0xABBC9C8C) + Le32(count) + record));
    EXPECT_EQ(VerifyServerFile(path_), kServerFileUsable);
    EXPECT_EQ(LoadServerEntryTexts(path_), Defaults()) << count;
    EXPECT_EQ(ReloadServerEntryTexts(path_), Defaults()) << count;
  }
}

TEST_F(ServerFileTest, FieldWithoutTerminatorIsReadUpTo62Bytes) {
  const std::string address(128, 'h');
  // 61 bytes and then double-byte characters: the cut keeps whole characters.
  std::string remark = std::string(61, 'r');
  while (remark.size() < 128) remark += Gbk("国");
  remark.resize(128);
  Spit(path_, File(0xABBC9C8C, {address + remark}));
  EXPECT_EQ(LoadServerEntryTexts(path_),
            std::vector<std::string>{"#1 " + std::string(62, 'h') + "   [" + std::string(61, 'r') + "]"});
  // A terminated text longer than 62 bytes is cut the same way.
  Spit(path_, File(0xABBC9C8C, {Field(std::string(100, 'h')) + Field(std::string(100, 'r'))}));
  EXPECT_EQ(LoadServerEntryTexts(path_),
            std::vector<std::string>{"#1 " + std::string(62, 'h') + "   [" + std::string(62, 'r') + "]"});
}

TEST_F(ServerFileTest, NumberingFollowsTheCountInTheFile) {
  auto rows = [](size_t n) { return std::vector<ServerRow>(n, ServerRow{"h", "r"}); };
  ASSERT_TRUE(SaveServerFile(path_, rows(9)));
  std::vector<std::string> texts = LoadServerEntryTexts(path_);
  ASSERT_EQ(texts.size(), 9u);
  EXPECT_EQ(texts[0], "#1 h   [r]");
  EXPECT_EQ(texts[8], "#9 h   [r]");

  ASSERT_TRUE(SaveServerFile(path_, rows(10)));
  texts = LoadServerEntryTexts(path_);
  ASSERT_EQ(texts.size(), 10u);
  EXPECT_EQ(texts[0], "#1  h   [r]");
  EXPECT_EQ(texts[9], "#10 h   [r]");

  ASSERT_TRUE(SaveServerFile(path_, rows(100)));
  texts = LoadServerEntryTexts(path_);
  ASSERT_EQ(texts.size(), 100u);
  EXPECT_EQ(texts[0], "#1   h   [r]");
  EXPECT_EQ(texts[99], "#100 h   [r]");
}

TEST_F(ServerFileTest, BuiltInRowsSavedReadBackAsTheBuiltInTexts) {
  ASSERT_TRUE(SaveServerFile(path_, DefaultServerRows()));
  EXPECT_EQ(Slurp(path_).size(), 12u + 27 * 256u);
  EXPECT_EQ(LoadServerEntryTexts(path_), Defaults());
}

TEST_F(ServerFileTest, SavedFieldsAreCutTo62BytesOnCharacterBoundaries) {
  const std::string remark = std::string(61, 'r') + Gbk("国");
  ASSERT_TRUE(SaveServerFile(path_, {{std::string(80, 'h'), remark}}));
  EXPECT_EQ(Slurp(path_), File(0xABBC9C8C, {Field(std::string(62, 'h')) + Field(std::string(61, 'r'))}));
}

TEST_F(ServerFileTest, ReloadTakesTheFileWithoutTheCrcTest) {
  ASSERT_TRUE(SaveServerFile(path_, {{"a.example", "x"}}));
  std::string bytes = Slurp(path_);
  bytes.back() = static_cast<char>(bytes.back() ^ 0xFF);
  Spit(path_, bytes);
  EXPECT_EQ(LoadServerEntryTexts(path_), Defaults());
  EXPECT_EQ(ReloadServerEntryTexts(path_), std::vector<std::string>{"#1 a.example   [x]"});
}

TEST_F(ServerFileTest, FailedSaveReportsAndKeepsTheOldFileWhole) {
  ASSERT_TRUE(SaveServerFile(path_, {{"old.example", "old"}}));
  const std::string old = Slurp(path_);
  {
    RefusedSave refused(path_);
    int error = 0;
    EXPECT_FALSE(SaveServerFile(path_, DefaultServerRows(), &error));
    EXPECT_NE(error, 0);
  }
  EXPECT_EQ(Slurp(path_), old);
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);

  int error = 0;
  EXPECT_FALSE(SaveServerFile(dir_ + "/missing/Server.dat", {}, &error));
  EXPECT_NE(error, 0);
  EXPECT_FALSE(SaveServerFile("", {}, &error));
  EXPECT_EQ(Slurp(path_), old);
}

struct FakeCombo {
  std::vector<std::string> items{"stale"};
  int selected = -1;
  void ResetContent() {
    items.clear();
    selected = -1;
  }
  void AddString(const char* text) { items.emplace_back(text); }
  void SetCurSel(int index) { selected = index; }
};

TEST_F(ServerFileTest, ComboBoxGetsTheListWithTheFirstEntrySelected) {
  FakeCombo combo;
  LoadServerList(combo, ServerListAt(path_));
  EXPECT_EQ(combo.items, Defaults());
  EXPECT_EQ(combo.selected, 0);

  ASSERT_TRUE(SaveServerFile(path_, {}));
  ReloadServerList(combo, path_);
  EXPECT_TRUE(combo.items.empty());
  EXPECT_EQ(combo.selected, -1);

  ASSERT_TRUE(SaveServerFile(path_, {{"a.example", ""}, {"b.example", ""}}));
  combo.SetCurSel(1);
  ReloadServerList(combo, path_);
  EXPECT_EQ(combo.items, (std::vector<std::string>{"#1 a.example   []", "#2 b.example   []"}));
  EXPECT_EQ(combo.selected, 0);
}

}  // namespace
