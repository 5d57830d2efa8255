// The parts of windows, dialogs and the application object that are the
// same over every back end: routing through the message maps, data
// exchange, the standard commands.
#include <string>

#include "platform/module_path.h"
#include "platform/settings_folder.h"
#include "ui/framework/afxwin.h"

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

// ---------------------------------------------------------------------------

const AFX_MSGMAP* CDialog::GetThisMessageMap() {
  using ThisClass = CDialog;
  static const AFX_MSGMAP_ENTRY entries[] = {
      ON_COMMAND(IDOK, &ThisClass::OnOK)                          //
      ON_COMMAND(IDCANCEL, &ThisClass::OnCancel)                  //
      {0, 0, 0, 0, AfxSig_end, nullptr},
  };
  static const AFX_MSGMAP map = {&CWnd::GetThisMessageMap, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CDialog::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return TRUE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

// ---------------------------------------------------------------------------

namespace {

CWinApp* g_app = nullptr;

}  // namespace

const AFX_MSGMAP* CWinApp::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
  static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CWinApp::GetMessageMap() const { return GetThisMessageMap(); }

CWinApp::CWinApp(const char* appName) {
  if (appName != nullptr) {
    m_appName = appName;
    m_pszAppName = m_appName.c_str();
  }
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitApplication() { return TRUE; }

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

// The program ships no help file; its help is the help box.
void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

const char* AfxGetAppName() {
  if (g_app == nullptr) return "";
  if (g_app->m_pszAppName == nullptr) {
    // Named after the executable, without directory and extension; a path
    // is no program text until converted.
    std::string name = platform::ExecutablePath();
    name.erase(0, platform::FileNameStart(name));
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    g_app->m_appName = platform::PathForMessage(name);
    g_app->m_pszAppName = g_app->m_appName.c_str();
  }
  return g_app->m_pszAppName;
}

