#include "app/tempiola_app.h"

#include <cstdio>
#include <cstring>

#include "app/instance_guard.h"
#include "app/window_search.h"
#include "platform/module_path.h"
#include "res/strings.h"
#include "ui/app_globals.h"
#include "ui/tempiola_dlg.h"

CTempiolaApp::CTempiolaApp() = default;

CTempiolaApp::~CTempiolaApp() = default;

BEGIN_MESSAGE_MAP(CTempiolaApp, CWinApp)
  ON_COMMAND(ID_HELP, &CTempiolaApp::OnHelp)  // the framework's own help handling
END_MESSAGE_MAP()

void SetExeDirFromPath(const char* path) {
  char buffer[kExeDirSize];
  std::snprintf(buffer, sizeof buffer, "%s", path ? path : "");
  if (char* slash = std::strrchr(buffer, '/')) *slash = '\0';
  // Room is kept for the separator: the text is cut, never the '/'.
  const std::size_t length = std::min(std::strlen(buffer), sizeof g_exeDir - 2);
  std::memcpy(g_exeDir, buffer, length);
  g_exeDir[length] = '/';
  g_exeDir[length + 1] = '\0';
}

BOOL CTempiolaApp::InitApplication() {
  if (g_instanceMutexError == ERROR_ALREADY_EXISTS) {
    AfxMessageBox(res::kAlreadyRunning, MB_OK);
    if (HWND running = FindWindowByTitle(res::kMainTitle)) PostMessage(running, WM_ACTIVATE_INSTANCE, 0, 0);
    return FALSE;
  }
  SetExeDirFromPath(platform::ExecutablePath().c_str());
  return CWinApp::InitApplication();
}

BOOL CTempiolaApp::InitInstance() {
  AfxEnableControlContainer();
  CTempiolaDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}
