// What a CWSocketException carries for the tests: the code of the one a
// call throws, and the text it gives for a code.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ntp/wsocket_exception.h"

// The code thrown by f, or 0 when it returns.
template <typename F>
int ThrownCode(F f) {
  try {
    f();
  } catch (CWSocketException* e) {
    const int code = e->m_nError;
    e->Delete();
    return code;
  }
  return 0;
}

// The text for code in a buffer of capacity bytes.
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
