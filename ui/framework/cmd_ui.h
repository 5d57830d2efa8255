// The command-state update a CN_UPDATE_COMMAND_UI row receives: its
// handler enables or disables the control.
#pragma once

#include "afx/afx_types.h"

class CWnd;

class CCmdUI {
 public:
  UINT m_nID = 0;
  CWnd* m_pOther = nullptr;  // the control
  void Enable(BOOL on = TRUE);
};
