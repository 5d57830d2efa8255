#include "platform/interrupt.h"

#include <windows.h>
// The program's own CreateEvent, not the system's A/W macro.
#undef CreateEvent

namespace platform {
namespace {

const Event* g_interrupt = nullptr;

// Closing the console ends the process once this returns; the wait gives
// the program's own shutdown (which sets no limit here) a few seconds to
// run first, within the time the system allows before it ends it anyway.
constexpr DWORD kCloseGraceMs = 4000;

// Runs on a thread the system starts for the request.
BOOL WINAPI OnControl(DWORD type) {
  switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      g_interrupt->Set();
      return TRUE;
    case CTRL_CLOSE_EVENT:
      g_interrupt->Set();
      ::Sleep(kCloseGraceMs);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

const Event* InterruptEvent() {
  static const Event* const event = [] {
    static Event e;
    if (!e.IsValid()) return static_cast<const Event*>(nullptr);
    g_interrupt = &e;
    if (!::SetConsoleCtrlHandler(OnControl, TRUE)) return static_cast<const Event*>(nullptr);
    return static_cast<const Event*>(&e);
  }();
  return event;
}

}  // namespace platform
