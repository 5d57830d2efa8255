// Message boxes: the system's own, modal over the program's active window
// and watched so that the window tests can answer them.
#include "ui/framework/win32/afx_impl.h"

int AfxMessageBox(const char* text, UINT type, UINT) {
  const UINT buttons = (type & 0xF) == MB_OKCANCEL ? MB_OKCANCEL : MB_OK;
  AfxModalFrame frame;
  frame.kind = AfxModalFrame::Kind::MessageBox;
  frame.text = text ? text : "";
  frame.type = buttons;
  afx::PushModal(&frame);
  afx::NotifyModalStarted(&frame);
  const int result = w32::MessageBoxWatched(w32::ActiveWindow(), w32::Wide(text ? text : ""),
                                            w32::Wide(AfxGetAppName()), buttons, &frame.window);
  afx::PopModal(&frame);
  // A box with OK alone answers Escape with OK (Wine says Cancel).
  return buttons == MB_OKCANCEL && result == IDCANCEL ? IDCANCEL : IDOK;
}

BOOL AfxEndMessageBox(AfxModalFrame& frame, int id) {
  if (frame.kind != AfxModalFrame::Kind::MessageBox || !w32::IsWindowAlive(frame.window)) return FALSE;
  if (id != IDOK && !(id == IDCANCEL && frame.type == MB_OKCANCEL)) return FALSE;
  w32::Send(frame.window, WM_COMMAND, static_cast<std::uintptr_t>(id), 0);
  return TRUE;
}

