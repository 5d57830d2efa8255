// The program's modal loops, innermost last, and a hook that is told when
// one has started (the window tests drive dialogs and message boxes
// through it).
#pragma once

#include <string>
#include <vector>

#include "ui/framework/afxwin.h"

class wxDialog;

struct AfxModalFrame {
  enum class Kind { Dialog, MessageBox };
  Kind kind = Kind::Dialog;
  CDialog* dialog = nullptr;   // Kind::Dialog
  wxDialog* window = nullptr;  // the toolkit's dialog while it runs
  std::string text;            // Kind::MessageBox: its text (GBK)
  UINT type = MB_OK;           // Kind::MessageBox: MB_OK or MB_OKCANCEL
  unsigned serial = 0;
};

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
