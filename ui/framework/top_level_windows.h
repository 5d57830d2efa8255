// Enumeration of top-level windows by title. The program's own windows are
// listed first, topmost first; then the windows that a foreign source
// (another running instance) offers. Safe to call from any thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/framework/window_types.h"

using WNDENUMPROC = BOOL (*)(HWND window, LPARAM lParam);

// Calls proc for each top-level window until it returns FALSE.
BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam);

// Title of a window met by EnumWindows or of one of this program, cut to
// maxCount - 1 bytes (GBK); returns the number of bytes copied.
int GetWindowTextA(HWND window, char* buffer, int maxCount);

struct AfxTopLevelWindow {
  HWND handle;
  std::string title;  // GBK
};

// This program's own top-level windows, topmost first.
std::vector<AfxTopLevelWindow> AfxTopLevelWindows();

// Windows of other processes; their handles must accept posted messages.
void AfxSetForeignWindowSource(std::function<std::vector<AfxTopLevelWindow>()> source);
