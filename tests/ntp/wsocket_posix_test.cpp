#include <gtest/gtest.h>
#include <netdb.h>

#include <cerrno>

#include "tests/ntp/socket_message.h"

namespace {

TEST(CWSocketExceptionTest, SystemCodesInTheSystemsWords) {
  BOOL found = FALSE;
  EXPECT_EQ(Message(ECONNREFUSED, 256, &found), "Connection refused");
  EXPECT_EQ(found, TRUE);
  EXPECT_EQ(Message(EAI_NONAME, 256), gai_strerror(EAI_NONAME));
  EXPECT_EQ(Message(ECONNREFUSED, 5, &found), "Conn");
  EXPECT_EQ(found, TRUE);
}

}  // namespace
