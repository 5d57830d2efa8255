// The program's modal loops, innermost last, and a hook that is told when
// one has started (the window tests drive dialogs and message boxes
// through it).
#pragma once

#include <string>
#include <vector>

#include "ui/framework/dialog.h"
#include "ui/framework/detail/modal_hook.h"

struct AfxModalFrame {
  enum class Kind { Dialog, MessageBox };
  Kind kind = Kind::Dialog;
  CDialog* dialog = nullptr;            // Kind::Dialog
  AfxNativeWindow* window = nullptr;    // the system's window while it runs (a box's once it is up)
  std::string text;                     // Kind::MessageBox: its text (GBK)
  UINT type = MB_OK;                    // Kind::MessageBox: MB_OK or MB_OKCANCEL
  unsigned serial = 0;
  bool running = true;
};

// Runs the queued messages through the innermost modal loop's handling
// (PreTranslateMessage, the dialog keys, dispatch) until none is left.
void AfxRunQueuedMessages();
// One input message for a window of a running dialog, handled as the modal
// loop handles a queued one.
void AfxDeliverInput(CDialog& dialog, AfxNativeWindow* window, UINT message, WPARAM wParam, LPARAM lParam);

// What the dialog answers for a control's tool tip, and its tool-tip window.
std::string AfxToolTipText(CDialog& dialog, int id);
AfxNativeWindow* AfxToolTipWindow(const CDialog& dialog);

// EndDialog (or the box's button) has ended the loop, which returns next.
bool AfxModalEnded(const AfxModalFrame& frame);
