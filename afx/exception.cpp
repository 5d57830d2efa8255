#include "afx/exception.h"

BOOL CException::GetErrorMessage(char* buffer, UINT capacity, UINT* helpContext) const {
  if (helpContext) *helpContext = 0;
  if (buffer && capacity > 0) buffer[0] = '\0';
  return FALSE;
}
