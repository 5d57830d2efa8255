#include <gtest/gtest.h>
#include <winerror.h>

#include <string>

#include "tests/ntp/socket_message.h"

// tests/ntp/test_system_win32.cpp: FormatMessageW's words in GBK.
std::string SystemWords(unsigned long code);

namespace {

TEST(CWSocketExceptionTest, SystemCodesInTheSystemsWords) {
  const int codes[] = {WSAECONNRESET, WSAHOST_NOT_FOUND, ERROR_PRIVILEGE_NOT_HELD};
  for (const int code : codes) {
    SCOPED_TRACE(code);
    const std::string words = SystemWords(static_cast<unsigned long>(code));
    ASSERT_FALSE(words.empty());
    BOOL found = FALSE;
    const std::string text = Message(code, 256, &found);
    EXPECT_EQ(text, words);
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(found, TRUE);
    EXPECT_EQ(Message(code, 5), words.substr(0, 4));
  }
}

}  // namespace
