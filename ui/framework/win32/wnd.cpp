// Windows and controls by identifier: text, state, focus, position and the
// handle the layer gives each.
#include "ui/framework/win32/afx_impl.h"

namespace {

std::string GbkText(w32::Handle window) { return window ? w32::Gbk(w32::Text(window)) : std::string(); }

}  // namespace

void CWnd::Attach(AfxNativeWindow* window, int id, CWnd* owner, std::uint32_t style, HWND handle) {
  Detach();
  m_pWindow = window;
  m_nID = id;
  m_pOwner = owner;
  m_dwStyle = style;
  if (handle == 0) {
    m_hWnd = platform::RegisterWindow([window](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
      w32::Post(window, message, wParam, lParam);
    });
    m_bOwnsHandle = true;
  } else {
    m_hWnd = handle;
    m_bOwnsHandle = false;
  }
  afx::MapHandle(m_hWnd, this, window);
}

void CWnd::Detach() {
  if (m_hWnd != 0) {
    afx::UnmapHandle(m_hWnd, this, m_pWindow);
    if (m_bOwnsHandle) platform::UnregisterWindow(m_hWnd);
  }
  m_hWnd = 0;
  m_bOwnsHandle = false;
  m_pWindow = nullptr;
  m_pOwner = nullptr;
}

CWnd* CWnd::FromHandle(HWND window) { return afx::LookupHandle(window); }

std::string CWnd::TextGbk() const { return GbkText(m_pWindow); }

void CWnd::SetWindowText(const char* text) {
  if (m_pWindow == nullptr) return;
  w32::SetText(m_pWindow, w32::Wide(text));
  // Only a dialog's own window has no owner: it is a top-level window.
  if (m_pOwner == nullptr) afx::SetTopLevelTitle(m_hWnd, text ? text : "");
}

int CWnd::GetWindowText(char* buffer, int maxCount) const { return afx::CopyCut(TextGbk(), buffer, maxCount); }

BOOL CWnd::EnableWindow(BOOL enable) {
  return m_pWindow && w32::Enable(m_pWindow, enable != FALSE) ? TRUE : FALSE;
}
BOOL CWnd::IsWindowEnabled() const { return m_pWindow && w32::IsEnabled(m_pWindow) ? TRUE : FALSE; }
BOOL CWnd::ShowWindow(int command) { return m_pWindow && w32::Show(m_pWindow, command) ? TRUE : FALSE; }
BOOL CWnd::IsWindowVisible() const { return m_pWindow && w32::IsVisible(m_pWindow) ? TRUE : FALSE; }

CWnd* CWnd::GetFocus() { return afx::LookupWidget(w32::Focus(), true); }

CWnd* CWnd::SetFocus() {
  CWnd* previous = GetFocus();
  // A button of a dialog takes the focus through the dialog, which makes it
  // the default for Return as Tab would.
  if (m_pWindow && m_pOwner && m_pOwner->m_pWindow && w32::IsButton(m_pWindow)) {
    w32::NextDlgCtrl(m_pOwner->m_pWindow, m_pWindow);
  } else if (m_pWindow) {
    w32::SetFocusTo(m_pWindow);
  }
  return previous;
}

BOOL CWnd::IsIconic() const { return m_pWindow && w32::IsIconic(m_pWindow) ? TRUE : FALSE; }

void CWnd::GetClientRect(RECT* rect) const {
  if (rect == nullptr) return;
  *rect = RECT{0, 0, 0, 0};
  if (m_pWindow) w32::ClientRect(m_pWindow, &rect->right, &rect->bottom);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (m_pWindow == nullptr) return FALSE;
  if (insertAfter == &wndTopMost || insertAfter == &wndNoTopMost) {
    w32::SetTopmost(m_pWindow, insertAfter == &wndTopMost);
    if (insertAfter == &wndTopMost) afx::RaiseTopLevel(m_hWnd);
  }
  return w32::MoveSize(m_pWindow, x, y, cx, cy, (flags & SWP_NOMOVE) == 0, (flags & SWP_NOSIZE) == 0) ? TRUE : FALSE;
}

BOOL CWnd::SetForegroundWindow() {
  if (m_pWindow == nullptr) return FALSE;
  afx::RaiseTopLevel(m_hWnd);
  return w32::ToForeground(m_pWindow) ? TRUE : FALSE;
}
