// The application object, the same over every back end, and the program's
// name.
#include "ui/framework/winapp.h"

#include <string>

#include "platform/module_path.h"
#include "platform/settings_folder.h"
#include "ui/framework/wnd.h"


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

