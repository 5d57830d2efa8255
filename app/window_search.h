// Finding a top-level window by a part of its title.
#pragma once

#include "ui/framework/window_types.h"

// The search record passed through the enumeration.
struct WindowSearch {
  HWND found;
  char text[256];
};

// The first top-level window (topmost first) whose title contains text
// (byte-wise, case-sensitive); 0 when there is none. text: at most 255 bytes.
HWND FindWindowByTitle(const char* text);

// The enumeration callback: FALSE (stop) at the first match.
BOOL EnumWindowsTitleProc(HWND window, LPARAM lParam);
