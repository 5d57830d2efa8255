// The parts of a window that are the same over every back end: routing
// through the message maps and the default handlers.
#include "ui/framework/wnd.h"

#include "ui/framework/paint_dc.h"

const CWnd CWnd::wndTopMost;
const CWnd CWnd::wndNoTopMost;

CWnd::CWnd() = default;

CWnd::~CWnd() { Detach(); }

int GetDlgCtrlID(HWND window) {
  CWnd* w = CWnd::FromHandle(window);
  return w ? w->GetDlgCtrlID() : 0;
}

void CWnd::GetWindowText(CString& text) const { text = TextGbk().c_str(); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) { return WindowProc(message, wParam, lParam); }

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  if (message == WM_COMMAND) return OnCommand(wParam, lParam);
  if (message == WM_NOTIFY) return OnNotify(wParam, lParam, result);
  const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message, 0, 0);
  if (e == nullptr) return FALSE;
  switch (e->nSig) {
    case AfxSig_vv:
      (static_cast<CCmdTarget*>(this)->*e->pfn)();
      return TRUE;
    case AfxSig_vwl:
      (this->*AfxFromPmsg<void (CWnd::*)(UINT, LPARAM)>(e->pfn))(static_cast<UINT>(wParam), lParam);
      return TRUE;
    case AfxSig_hv:
      *result = reinterpret_cast<LRESULT>((this->*AfxFromPmsg<HCURSOR (CWnd::*)()>(e->pfn))());
      return TRUE;
    case AfxSig_lwl:
      *result = (this->*AfxFromPmsg<LRESULT (CWnd::*)(WPARAM, LPARAM)>(e->pfn))(wParam, lParam);
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) { return OnCmdMsg(LOWORD(wParam), HIWORD(wParam), nullptr); }

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header == nullptr) return FALSE;
  // The row is chosen by the sender's own identifier (0 for the tool tips).
  const UINT id = static_cast<UINT>(::GetDlgCtrlID(header->hwndFrom));
  for (const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_NOTIFY, header->code, id); e != nullptr;
       e = FindMessageEntryAfter(e, WM_NOTIFY, header->code, id)) {
    if (e->nSig == AfxSig_vNMHDRpl) {
      (this->*AfxFromPmsg<void (CWnd::*)(NMHDR*, LRESULT*)>(e->pfn))(header, result);
      return TRUE;
    }
    if (e->nSig == AfxSig_bwNMHDRpl &&
        (this->*AfxFromPmsg<BOOL (CWnd::*)(UINT, NMHDR*, LRESULT*)>(e->pfn))(id, header, result)) {
      return TRUE;
    }
  }
  return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT, WPARAM, LPARAM) { return 0; }

void CWnd::OnSysCommand(UINT id, LPARAM lParam) { DefWindowProc(WM_SYSCOMMAND, id, lParam); }

void CWnd::OnPaint() { CPaintDC dc(this); }

HCURSOR CWnd::OnQueryDragIcon() { return nullptr; }

void CWnd::OnDestroy() {}

