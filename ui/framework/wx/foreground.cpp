#include "ui/framework/foreground.h"

#include <sys/syscall.h>
#include <unistd.h>

#include "ui/framework/wx/afx_impl.h"


namespace {

DWORD g_uiThread = 0;

}  // namespace

DWORD GetCurrentThreadId() { return static_cast<DWORD>(::syscall(SYS_gettid)); }

HWND GetForegroundWindow() {
  wxWindow* focus = wxWindow::FindFocus();
  wxWindow* top = focus ? wxGetTopLevelParent(focus) : nullptr;
  CWnd* window = afx::LookupWidget(top);
  return window ? window->m_hWnd : 0;
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  if (processId) *processId = 0;
  if (window == 0 || afx::LookupHandle(window) == nullptr) return 0;
  if (processId) *processId = static_cast<DWORD>(::getpid());
  if (g_uiThread == 0) g_uiThread = GetCurrentThreadId();  // windows live on the user-interface thread
  return g_uiThread;
}

BOOL AttachThreadInput(DWORD, DWORD, BOOL) {
  // X11 keeps no input state per thread: the window manager grants the
  // focus to a window that presents itself (see PresentWindow).
  return TRUE;
}

namespace afx {

void PresentWindow(wxTopLevelWindow* window) {
  if (window->IsIconized()) window->Iconize(false);
  window->Raise();  // the toolkit's "present": raise and ask for the focus
}

}  // namespace afx
