// Windows and controls by identifier: text, state, focus, routing of
// messages through the maps.
#include <wx/listctrl.h>
#include <wx/toplevel.h>

#include "afx/gbk.h"
#include "ui/framework/wx/afx_impl.h"

void CWnd::Attach(wxWindow* window, int id, CWnd* owner, std::uint32_t style, HWND handle) {
  Detach();
  m_pWindow = window;
  m_nID = id;
  m_pOwner = owner;
  m_dwStyle = style;
  if (handle == 0) {
    // Controls take no posted messages in this program; their handles only
    // name them (GetDlgCtrlID, notifications).
    m_hWnd = platform::RegisterWindow([](unsigned, std::uintptr_t, std::intptr_t) {});
    m_bOwnsHandle = true;
  } else {
    m_hWnd = handle;
    m_bOwnsHandle = false;
  }
  afx::MapHandle(m_hWnd, this);
}

void CWnd::Detach() {
  if (m_hWnd != 0) {
    if (afx::LookupHandle(m_hWnd) == this) afx::UnmapHandle(m_hWnd);
    if (m_bOwnsHandle) platform::UnregisterWindow(m_hWnd);
  }
  m_hWnd = 0;
  m_bOwnsHandle = false;
  m_pWindow = nullptr;
  m_pOwner = nullptr;
}

CWnd* CWnd::FromHandle(HWND window) { return afx::LookupHandle(window); }

std::string CWnd::TextGbk() const {
  if (m_pWindow == nullptr) return std::string();
  wxString text;
  if (auto* t = dynamic_cast<wxTextCtrl*>(m_pWindow)) {
    text = t->GetValue();
    if (t->IsMultiLine()) text.Replace("\n", "\r\n");
  } else if (auto* tl = dynamic_cast<wxTopLevelWindow*>(m_pWindow)) {
    text = tl->GetTitle();
  } else if (auto* c = dynamic_cast<wxChoice*>(m_pWindow)) {
    text = c->GetStringSelection();
  } else if (dynamic_cast<wxListBox*>(m_pWindow) || dynamic_cast<wxListCtrl*>(m_pWindow)) {
    text.clear();
  } else {
    text = m_pWindow->GetLabel();
  }
  return afx::ToGbk(text);
}

void CWnd::SetWindowText(const char* text) {
  if (m_pWindow == nullptr) return;
  wxString s = afx::ToWx(text);
  if (auto* t = dynamic_cast<wxTextCtrl*>(m_pWindow)) {
    if (t->IsMultiLine()) s.Replace("\r\n", "\n");
    t->ChangeValue(s);
    // As a new text in an edit box: caret and view at its start.
    t->SetInsertionPoint(0);
    t->ShowPosition(0);
  } else if (auto* tl = dynamic_cast<wxTopLevelWindow*>(m_pWindow)) {
    tl->SetTitle(s);
    afx::SetTopLevelTitle(m_hWnd, text ? text : "");
  } else if (auto* c = dynamic_cast<wxChoice*>(m_pWindow)) {
    const int i = c->FindString(s, true);
    if (i != wxNOT_FOUND) c->SetSelection(i);
  } else if (auto* st = dynamic_cast<wxStaticText*>(m_pWindow)) {
    if (m_dwStyle & SS_NOPREFIX) {
      st->SetLabelText(s);
    } else {
      st->SetLabel(s);
    }
  } else {
    m_pWindow->SetLabel(s);
  }
}

int CWnd::GetWindowText(char* buffer, int maxCount) const {
  if (buffer == nullptr || maxCount <= 0) return 0;
  const std::string text = TextGbk();
  return static_cast<int>(GbkCopyCut(text, buffer, static_cast<std::size_t>(maxCount)));
}

BOOL CWnd::EnableWindow(BOOL enable) {
  if (m_pWindow == nullptr) return FALSE;
  const BOOL wasDisabled = m_pWindow->IsThisEnabled() ? FALSE : TRUE;
  m_pWindow->Enable(enable != FALSE);
  return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return m_pWindow && m_pWindow->IsThisEnabled() ? TRUE : FALSE; }

BOOL CWnd::ShowWindow(int command) {
  if (m_pWindow == nullptr) return FALSE;
  const BOOL wasVisible = m_pWindow->IsShown() ? TRUE : FALSE;
  auto* tl = dynamic_cast<wxTopLevelWindow*>(m_pWindow);
  switch (command) {
    case SW_HIDE:
      m_pWindow->Hide();
      break;
    case SW_MINIMIZE:
      if (tl) tl->Iconize(true);
      break;
    case SW_RESTORE:
      if (tl) tl->Iconize(false);
      m_pWindow->Show();
      break;
    default:
      m_pWindow->Show();
      break;
  }
  return wasVisible;
}

BOOL CWnd::IsWindowVisible() const { return m_pWindow && m_pWindow->IsShownOnScreen() ? TRUE : FALSE; }

CWnd* CWnd::GetFocus() {
  for (wxWindow* w = wxWindow::FindFocus(); w != nullptr; w = w->GetParent()) {
    if (CWnd* found = afx::LookupWidget(w)) return found;
  }
  return nullptr;
}

CWnd* CWnd::SetFocus() {
  CWnd* previous = GetFocus();
  if (m_pWindow) m_pWindow->SetFocus();
  return previous;
}

BOOL CWnd::IsIconic() const {
  auto* tl = dynamic_cast<wxTopLevelWindow*>(m_pWindow);
  return tl && tl->IsIconized() ? TRUE : FALSE;
}

void CWnd::GetClientRect(RECT* rect) const {
  if (rect == nullptr) return;
  *rect = RECT{0, 0, 0, 0};
  if (m_pWindow == nullptr) return;
  const wxSize size = m_pWindow->GetClientSize();
  rect->right = size.x;
  rect->bottom = size.y;
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (m_pWindow == nullptr) return FALSE;
  if (auto* tl = dynamic_cast<wxTopLevelWindow*>(m_pWindow)) {
    if (insertAfter == &wndTopMost) {
      tl->SetWindowStyleFlag(tl->GetWindowStyleFlag() | wxSTAY_ON_TOP);
      tl->Raise();
      afx::RaiseTopLevel(m_hWnd);
    } else if (insertAfter == &wndNoTopMost) {
      tl->SetWindowStyleFlag(tl->GetWindowStyleFlag() & ~wxSTAY_ON_TOP);
    }
  }
  if ((flags & SWP_NOMOVE) == 0) m_pWindow->Move(x, y);
  if ((flags & SWP_NOSIZE) == 0) m_pWindow->SetSize(cx, cy);
  return TRUE;
}

BOOL CWnd::SetForegroundWindow() {
  auto* tl = dynamic_cast<wxTopLevelWindow*>(m_pWindow);
  if (tl == nullptr) return FALSE;
  afx::PresentWindow(tl);
  afx::RaiseTopLevel(m_hWnd);
  return TRUE;
}
