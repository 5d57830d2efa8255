// The application object, the program's entry into the system's windows
// and icons.
#include <map>
#include <memory>

#include "platform/socket_startup.h"
#include "platform/time_service.h"
#include "ui/framework/win32/afx_impl.h"

int AfxWinMain(int, char**) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return 1;
  w32::InitControls();
  AfxGetAppName();
  // While the system's time service waits, the windows keep repainting;
  // input waits, so no command runs inside the one that is waiting.
  platform::SetTimeServiceWaitHook([] { w32::PumpPaint(); });
  int result = -1;
  if (app->InitApplication()) {
    // The program's window runs inside InitInstance; no loop after it.
    app->InitInstance();
    result = app->ExitInstance();
  }
  return result;
}

void AfxEnableControlContainer() {
  // No embedded (ActiveX) controls exist here: nothing to prepare.
}

BOOL AfxSocketInit() { return platform::SocketStartup() ? TRUE : FALSE; }

HICON CWinApp::LoadIcon(UINT id) const {
  static std::map<UINT, std::unique_ptr<AfxIcon>> icons;
  auto it = icons.find(id);
  if (it != icons.end()) return it->second.get();
  void* large = w32::LoadIconResource(static_cast<int>(id), 32);
  if (large == nullptr) return nullptr;
  auto icon = std::make_unique<AfxIcon>(AfxIcon{static_cast<int>(id), large, w32::LoadIconResource(static_cast<int>(id), 16)});
  HICON result = icon.get();
  icons.emplace(id, std::move(icon));
  return result;
}
