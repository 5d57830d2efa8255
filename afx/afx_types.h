// The small Windows-style vocabulary the program's code is written in.
#pragma once

#include <cstdint>

#include "platform/window_messages.h"

using BOOL = int;
// Macros, as the system headers have them (and as the window toolkit's
// headers define them too).
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HWND = platform::WindowHandle;

inline constexpr UINT WM_USER = 0x0400;

// Dialog results and the standard command identifiers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Posts a message to a window from any thread; dropped when the window is gone.
inline BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::PostWindowMessage(window, message, wParam, lParam) ? TRUE : FALSE;
}
