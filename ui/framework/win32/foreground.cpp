#include "ui/framework/foreground.h"

#include "ui/framework/win32/afx_impl.h"

// A window of another program has no handle of the layer: it travels as the
// system's own handle, which only these functions read.
HWND GetForegroundWindow() {
  w32::Handle window = w32::Foreground();
  const HWND own = afx::LayerHandle(window);
  return own != 0 ? own : reinterpret_cast<HWND>(window);
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  w32::Handle system = nullptr;
  if (CWnd* w = CWnd::FromHandle(window)) {
    system = w->GetNativeWindow();
  } else {
    system = reinterpret_cast<w32::Handle>(window);
  }
  std::uint32_t pid = 0;
  const DWORD thread = system ? w32::WindowThread(system, &pid) : 0;
  if (processId) *processId = pid;
  return thread;
}

DWORD GetCurrentThreadId() { return w32::CurrentThread(); }

BOOL AttachThreadInput(DWORD attachThread, DWORD toThread, BOOL attach) {
  if (attachThread == 0 || toThread == 0 || attachThread == toThread) return FALSE;
  return w32::AttachInput(attachThread, toThread, attach != FALSE) ? TRUE : FALSE;
}
