// The program's modal loops, innermost last, and a hook that is told when
// one has started (the window tests drive dialogs and message boxes
// through it).
#pragma once

#include <string>
#include <vector>

#include "ui/framework/dialog.h"
#include "ui/framework/detail/modal_hook.h"

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

