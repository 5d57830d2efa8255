// The application object, the program's entry into the toolkit, icons and
// bringing a window forward.
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include <cstdio>
#include <map>

#include "platform/module_path.h"
#include "platform/socket_startup.h"
#include "platform/time_service.h"
#include "ui/framework/wx/afx_impl.h"

namespace {

class AfxToolkitApp : public wxApp {
 public:
  // The program reads no options: the toolkit's own parsing stays off.
  bool OnInit() override { return true; }
};

}  // namespace

HICON CWinApp::LoadIcon(UINT id) const { return afx::LoadIconResource(static_cast<int>(id)); }

int AfxWinMain(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    std::fprintf(stderr, "no application object\n");
    return 1;
  }
  wxApp::SetInstance(new AfxToolkitApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "cannot start the window system (is DISPLAY set?)\n");
    return 1;
  }
  AfxGetAppName();
  // While the system's time service waits for an administrator's password,
  // the windows keep repainting; input waits, so no command runs inside
  // the one that is waiting.
  platform::SetTimeServiceWaitHook([] {
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_UI);
  });
  // As the framework does: -1 when InitApplication refuses; else the result
  // of ExitInstance, after the message loop if InitInstance asked for one.
  int result = -1;
  if (app->InitApplication()) {
    if (app->InitInstance()) wxTheApp->OnRun();
    result = app->ExitInstance();
  }
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}

void AfxEnableControlContainer() {
  // No embedded (ActiveX) controls exist here: nothing to prepare.
}

BOOL AfxSocketInit() { return platform::SocketStartup() ? TRUE : FALSE; }

namespace afx {

HICON LoadIconResource(int id) {
  static std::map<int, std::unique_ptr<AfxIcon>> icons;
  auto it = icons.find(id);
  if (it != icons.end()) return it->second.get();
  const IconResource* r = FindIconResource(id);
  if (r == nullptr || wxTheApp == nullptr) return nullptr;
  auto icon = std::make_unique<AfxIcon>(AfxIcon{id, wxIcon(r->xpmLarge), wxIcon(r->xpmSmall)});
  HICON result = icon.get();
  icons.emplace(id, std::move(icon));
  return result;
}

}  // namespace afx
