// The text a CWSocketException gives for code in a buffer of capacity bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ntp/wsocket_exception.h"

inline std::string Message(int code, UINT capacity, BOOL* found = nullptr) {
  char buffer[256];
  std::memset(buffer, 'x', sizeof buffer);
  UINT help = 77;
  CWSocketException e(code);
  const BOOL ok = e.GetErrorMessage(buffer, capacity, &help);
  EXPECT_EQ(help, 0u);
  if (found) *found = ok;
  return buffer;
}
