#include "app/tempiola_app.h"

#include <algorithm>
#include <cstring>

#include "app/instance_guard.h"
#include "app/window_search.h"
#include "platform/module_path.h"
#include "res/strings.h"
#include "ui/app_globals.h"
#include "ui/framework/message_box.h"
#include "ui/tempiola_dlg.h"

CTempiolaApp::CTempiolaApp() = default;

CTempiolaApp::~CTempiolaApp() = default;

BEGIN_MESSAGE_MAP(CTempiolaApp, CWinApp)
  ON_COMMAND(ID_HELP, &CTempiolaApp::OnHelp)  // the framework's own help handling
END_MESSAGE_MAP()

void SetExeDirFromPath(const char* path) {
  if (path == nullptr) path = "";
  // The directory is taken from the whole path; room is kept for the
  // separator, so a directory too long for the buffer is cut, never the
  // separator.
  const std::size_t start = platform::FileNameStart(path);
  const std::size_t dirLength = start > 0 ? start - 1 : std::strlen(path);
  const std::size_t length = std::min(dirLength, sizeof g_exeDir - 2);
  std::memcpy(g_exeDir, path, length);
  g_exeDir[length] = platform::kDirectorySeparators[0];
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
