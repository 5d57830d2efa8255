#include "servers/server_entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/text_encoding.h"

namespace {

std::string Gbk(const char* utf8) {
  std::string out;
  EXPECT_TRUE(platform::Utf8ToGbk(utf8, out)) << utf8;
  return out;
}

std::string Format(size_t number, size_t count, const std::string& address, const std::string& remark) {
  char text[kServerEntryTextSize];
  FormatServerEntry(text, number, count, address.c_str(), remark.c_str());
  return text;
}

std::string Normalized(std::string text) {
  NormalizeServerAddress(text.data());
  return text.c_str();
}

struct Parsed {
  std::string address;
  std::string remark;
};

Parsed Parse(const std::string& entry) {
  char text[kServerEntryTextSize] = {};
  std::memcpy(text, entry.data(), std::min(entry.size(), sizeof text - 1));
  char* address = nullptr;
  char* remark = nullptr;
  ParseServerEntry(text, address, remark);
  EXPECT_TRUE(address >= text && address < text + sizeof text);
  EXPECT_TRUE(remark >= text && remark < text + sizeof text);
  return {address, remark};
}

TEST(ServerEntryText, NumberFieldIsTwoWiderThanTheDigitsOfTheCount) {
  // 9, 10 and 100 entries: see the Server.dat tests.
  EXPECT_EQ(Format(1, 1, "a", "b"), "#1 a   [b]");
  EXPECT_EQ(Format(1, 27, "a", "b"), "#1  a   [b]");
  EXPECT_EQ(Format(999, 999, "a", "b"), "#999 a   [b]");
  EXPECT_EQ(Format(1, 1000, "a", "b"), "#1    a   [b]");
}

TEST(ServerEntryText, EmptyRemarkShowsEmptyBrackets) {
  EXPECT_EQ(Format(3, 27, "ntp.example.org", ""), "#3  ntp.example.org   []");
  Parsed p = Parse("#3  ntp.example.org   []");
  EXPECT_EQ(p.address, "ntp.example.org");
  EXPECT_EQ(p.remark, "");
}

TEST(ServerEntryText, LongestEntryIs134BytesAndReadsBack) {
  const std::string address(62, 'a');
  const std::string remark = Gbk("备注") + std::string(58, 'r');
  ASSERT_EQ(remark.size(), 62u);
  std::string text = Format(999, 999, address, remark);
  EXPECT_EQ(text.size(), 134u);
  EXPECT_EQ(text, "#999 " + address + "   [" + remark + "]");
  Parsed p = Parse(text);
  EXPECT_EQ(p.address, address);
  EXPECT_EQ(p.remark, remark);
}

TEST(ServerEntryText, OverlongFieldsAreCutAtACharacterBoundary) {
  // 61 ASCII bytes and a double-byte character: the character does not fit.
  const std::string remark = std::string(61, 'r') + Gbk("国");
  std::string text = Format(1, 1, std::string(70, 'a'), remark);
  EXPECT_EQ(text, "#1 " + std::string(62, 'a') + "   [" + std::string(61, 'r') + "]");
  // Huge lists still fit the buffer; the remark gives way.
  text = Format(123456, 123456, std::string(62, 'a'), std::string(62, 'r'));
  EXPECT_LE(text.size(), kServerEntryTextSize - 1);
  EXPECT_EQ(text.rfind("#123456 " + std::string(62, 'a') + "   [r", 0), 0u);
  EXPECT_EQ(text.back(), ']');
}

TEST(ServerEntryText, BracketsInsideFieldsFollowTheFirstBracketRule) {
  // An address with "[" is cut there; the rest up to "]" becomes the remark.
  Parsed p = Parse(Format(1, 1, "ntp[x]y.org", "remark"));
  EXPECT_EQ(p.address, "ntp");
  EXPECT_EQ(p.remark, "x");
  // A remark with "]" is cut at its first "]".
  p = Parse(Format(1, 1, "ntp.org", "a]b"));
  EXPECT_EQ(p.address, "ntp.org");
  EXPECT_EQ(p.remark, "a");
  // "]" in an address and "[" in a remark come back unchanged.
  p = Parse(Format(1, 1, "ntp]x.org", "a[b"));
  EXPECT_EQ(p.address, "ntp]x.org");
  EXPECT_EQ(p.remark, "a[b");
}

TEST(ServerEntryText, DoubleByteCharactersEndingInBracketBytesAreNotBrackets) {
  // 俔 is 82 5D and 乕 is 81 5B in GBK: their second bytes are "]" and "[".
  const std::string remark = Gbk("俔乕俔");
  const std::string address = "ntp" + Gbk("乕") + ".org";
  Parsed p = Parse(Format(1, 1, address, remark));
  EXPECT_EQ(p.address, address);
  EXPECT_EQ(p.remark, remark);
}

TEST(ServerEntryText, TextsNotMadeByTheFormatterStayInside) {
  EXPECT_EQ(Parse("").address, "");
  EXPECT_EQ(Parse("#1").address, "");
  Parsed p = Parse("#1 host");
  EXPECT_EQ(p.address, "host");
  EXPECT_EQ(p.remark, "");
  p = Parse("#1 host [open");
  EXPECT_EQ(p.address, "host");
  EXPECT_EQ(p.remark, "open");
  // The only blank lies inside the brackets: no address, remark untouched.
  p = Parse("#1[a b]");
  EXPECT_EQ(p.address, "");
  EXPECT_EQ(p.remark, "a b");
}

TEST(NormalizeServerAddress, RemovesBlanksControlsAndFullWidthSpaces) {
  const std::string wide = Gbk("　");  // A1 A1
  ASSERT_EQ(wide, "\xA1\xA1");
  EXPECT_EQ(Normalized(" \t\r\n" + wide + "ntp.example.org" + wide + " \r\n\t"), "ntp.example.org");
  EXPECT_EQ(Normalized("nt p\x01.ex\x1F" "am\x7Fple.org"), "ntp.example.org");
  EXPECT_EQ(Normalized(" \t\r\n" + wide + wide + "\x7F"), "");
  EXPECT_EQ(Normalized(""), "");
  // Everything else printable stays, case included.
  EXPECT_EQ(Normalized("[NTP]~!@#.Org"), "[NTP]~!@#.Org");
}

TEST(NormalizeServerAddress, MatchesOnlyAtCharacterStarts) {
  // Characters B0A1 | A1A1 | A1C0: only the middle one is a full-width
  // space. The A1 A1 across B0A1 | A1C0 that remains is none.
  const std::string across = "\xB0\xA1\xA1\xA1\xA1\xC0";
  EXPECT_EQ(Normalized(across), "\xB0\xA1\xA1\xC0");
  EXPECT_EQ(Normalized("\xB0\xA1\xA1\xC0"), "\xB0\xA1\xA1\xC0");
  // A blank or control byte that follows a lead byte is its second byte.
  EXPECT_EQ(Normalized("a\x81 b"), "a\x81 b");
  EXPECT_EQ(Normalized("a\x81\x09 b"), "a\x81\x09" "b");
  // A lead byte at the very end stands alone.
  EXPECT_EQ(Normalized(" a\x81"), "a\x81");
}

TEST(NormalizeServerAddress, TypedInputIsCutBeforeNormalising) {
  // Leading blanks count against the 62 bytes.
  EXPECT_EQ(NormalizedServerAddress(std::string(10, ' ') + std::string(60, 'h')), std::string(52, 'h'));
  EXPECT_EQ(NormalizedServerAddress("  ntp.example.org  "), "ntp.example.org");
  EXPECT_EQ(NormalizedServerAddress(" \t "), "");
  EXPECT_EQ(CutServerRemark(std::string(61, 'r') + Gbk("国")), std::string(61, 'r'));
  EXPECT_EQ(CutServerRemark("  kept  "), "  kept  ");
}

}  // namespace
