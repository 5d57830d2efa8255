#include "servers/default_servers.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "platform/text_encoding.h"
#include "servers/server_list.h"

namespace {

bool IsDottedIpv4(const std::string& s) {
  int parts = 0;
  size_t at = 0;
  while (at <= s.size()) {
    size_t dot = s.find('.', at);
    std::string part = s.substr(at, dot == std::string::npos ? std::string::npos : dot - at);
    if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != std::string::npos) return false;
    if (std::stoi(part) > 255 || (part.size() > 1 && part[0] == '0')) return false;
    ++parts;
    if (dot == std::string::npos) break;
    at = dot + 1;
  }
  return parts == 4;
}

bool IsHostName(const std::string& s) {
  if (IsDottedIpv4(s) || s.find('.') == std::string::npos) return false;
  for (unsigned char c : s) {
    if (!std::isalnum(c) && c != '.' && c != '-') return false;
  }
  return true;
}

TEST(DefaultServerTable, TwentySevenNumberedEntriesWithTheTabledRemarks) {
  const std::vector<std::string> remarks = {
      "中国", "中国", "中国", "中国", "中国", "美国", "新加坡", "韩国", "德国", "德国", "日本",
      "阿里云", "阿里云", "阿里云", "阿里云", "阿里云", "阿里云", "阿里云",
      "中国", "亚洲", "苹果", "苹果", "苹果", "苹果", "苹果", "苹果", "苹果"};
  ASSERT_EQ(remarks.size(), kDefaultServerCount);

  std::vector<ServerRow> rows = DefaultServerRows();
  ASSERT_EQ(rows.size(), kDefaultServerCount);
  std::set<std::string> addresses;
  for (size_t i = 0; i < kDefaultServerCount; ++i) {
    const std::string text = DefaultServerTable[i];
    const ServerRow& row = rows[i];
    // "#n" filled to four characters, address, three blanks, [remark].
    std::string number = "#" + std::to_string(i + 1);
    number.resize(4, ' ');
    EXPECT_EQ(text, number + row.address + "   [" + row.remark + "]") << i + 1;
    EXPECT_EQ(platform::GbkToUtf8(row.remark), remarks[i]) << i + 1;
    if (i < 11) {
      EXPECT_TRUE(IsDottedIpv4(row.address)) << row.address;
    } else {
      EXPECT_TRUE(IsHostName(row.address)) << row.address;
    }
    addresses.insert(row.address);
  }
  EXPECT_EQ(addresses.size(), kDefaultServerCount);

  for (int n = 1; n <= 7; ++n) {
    EXPECT_EQ(rows[10 + n].address, "ntp" + std::to_string(n) + ".aliyun.com");
    EXPECT_NE(rows[19 + n].address.find(".apple.com"), std::string::npos);
  }
}

}  // namespace
