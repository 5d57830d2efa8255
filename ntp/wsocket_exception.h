// The socket layer's exception: one error code, which is an errno value, a
// resolver code (negative) or a code chosen by the thrower (ntp_errors.h).
// Thrown as a pointer to a heap object; the catcher calls Delete().
#pragma once

#include "afx/exception.h"

class CWSocketException : public CException {
 public:
  explicit CWSocketException(int errorCode) : m_nError(errorCode) {}
  ~CWSocketException() override;

  // The text of the code, cut to capacity - 1 bytes without splitting a
  // double-byte character; FALSE and an empty text when there is none.
  BOOL GetErrorMessage(char* buffer, UINT capacity, UINT* helpContext = nullptr) const override;

  int m_nError;
};

// Throws a new CWSocketException with errorCode, or with the thread's last
// socket error when errorCode is 0.
[[noreturn]] void ThrowSocketError(int errorCode);
