// The hook on the program's modal loops that both back ends give (the
// window tests drive dialogs and message boxes through it). Each back end's
// afx_modal.h includes it and defines AfxModalFrame.
#pragma once

#include <vector>

#include "ui/framework/dialog.h"

struct AfxModalFrame;

class AfxModalObserver {
 public:
  virtual ~AfxModalObserver() = default;
  // Runs on the user-interface thread inside the new modal loop, once the
  // window is shown.
  virtual void OnModalStarted(AfxModalFrame& frame) = 0;
};

void AfxSetModalObserver(AfxModalObserver* observer);
std::vector<AfxModalFrame*> AfxModalStack();

// Ends a running message box as if its button id (IDOK or IDCANCEL) had
// been pressed; FALSE when the box has no such button.
BOOL AfxEndMessageBox(AfxModalFrame& frame, int id);

// The busy cursor is up (BeginWaitCursor without its EndWaitCursor).
BOOL AfxWaitCursorShown();
