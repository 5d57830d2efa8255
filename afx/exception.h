// The framework's exception roots. Exceptions are thrown as pointers to heap
// objects; whoever catches one disposes of it with Delete().
#pragma once

#include "afx/afx_types.h"

class CObject {
 public:
  virtual ~CObject() = default;
};

class CException : public CObject {
 public:
  // Frees an exception caught by pointer.
  void Delete() { delete this; }

  // Text describing the failure, cut to capacity - 1 bytes; FALSE (and an
  // empty text) when there is none. helpContext, when given, is set to 0.
  virtual BOOL GetErrorMessage(char* buffer, UINT capacity, UINT* helpContext = nullptr) const;
};

// Raised by the framework when memory runs out / an argument is invalid.
class CMemoryException : public CException {};
class CInvalidArgException : public CException {};
