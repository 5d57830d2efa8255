// Inside the dialog layer: the toolkit's side of windows, text conversion,
// the modal stack and the guard around handlers.
#pragma once

#include <wx/wx.h>

#include <exception>
#include <string>

#include "ui/framework/controls.h"
#include "ui/framework/detail/control_wrapper.h"
#include "ui/framework/detail/handler_guard.h"
#include "ui/framework/detail/top_level_list.h"
#include "ui/framework/dialog.h"
#include "ui/framework/message_box.h"
#include "ui/framework/paint_dc.h"
#include "ui/framework/winapp.h"
#include "ui/framework/wx/afx_modal.h"

namespace afx {

// GBK <-> the toolkit's text.
wxString ToWx(const char* gbk);
// Characters GBK cannot hold become '?'.
std::string ToGbk(const wxString& text);

// The dialog font of a template (宋体 stands in as an installed Song face)
// and the layer's default font for message boxes.
wxFont TemplateFont(const DlgTemplate& t);
wxFont DefaultFont();

// Handle <-> object for every window and control of this process.
void MapHandle(HWND handle, CWnd* window);
void UnmapHandle(HWND handle);
CWnd* LookupHandle(HWND handle);
CWnd* LookupWidget(const wxWindow* widget);


// Modal loops.
void PushModal(AfxModalFrame* frame);
void PopModal(AfxModalFrame* frame);
void NotifyModalStarted(AfxModalFrame* frame);
// The window a new modal window should belong to.
wxWindow* ActiveWindow();

// Brings a top-level window forward with the input focus.
void PresentWindow(wxTopLevelWindow* window);

// The icon resource (both sizes), loaded once.
HICON LoadIconResource(int id);

// Key code of the toolkit -> virtual-key code (0 for keys without one).
UINT VirtualKey(int wxKeyCode);

}  // namespace afx

struct AfxIcon {
  int id;
  wxIcon large;
  wxIcon small;
};

// What the layer's event handlers (and its test support) do to a dialog.
struct AfxDialogAccess {
  // A key-down as the keyboard delivers it: PreTranslateMessage first, then
  // the dialog keys (Escape, Return, Alt+Space). FALSE: not handled, the
  // control gets the key.
  static bool KeyDown(CDialog& dialog, UINT virtualKey, bool alt);
  // Mouse and key-up input seen by PreTranslateMessage; TRUE: consumed.
  static bool Input(CDialog& dialog, CWnd* target, UINT message);
  // A button click (or the command that Escape/Return stand for).
  static void Command(CDialog& dialog, int id);
  // A control's notification (e.g. CBN_SELCHANGE), as WM_COMMAND.
  static void Notify(CDialog& dialog, int id, UINT code);
  // The list-view double-click notification of a control.
  static void DoubleClick(CDialog& dialog, int id);
  // The text the dialog gives for a control's tool tip (empty: none).
  static std::string ToolTipText(CDialog& dialog, int id);
  // A choice from the system menu.
  static void SystemCommand(CDialog& dialog, UINT command);
  static void Close(CDialog& dialog);
  static CWnd* Control(const CDialog& dialog, int id) { return dialog.GetDlgItem(id); }
  static const std::vector<wxWindow*>& Widgets(const CDialog& dialog) { return dialog.m_itemWidgets; }
  static bool HasRow(const CCmdTarget& target, UINT message) { return target.FindMessageEntry(message, 0, 0); }
};
