#include "app/window_search.h"

#include <cstdio>
#include <cstring>

#include "ui/framework/top_level_windows.h"

namespace {

char g_titleBuffer[256];  // title of the window being examined

}  // namespace

HWND FindWindowByTitle(const char* text) {
  WindowSearch search{};
  search.found = 0;
  std::snprintf(search.text, sizeof search.text, "%s", text ? text : "");
  EnumWindows(EnumWindowsTitleProc, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL EnumWindowsTitleProc(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  GetWindowTextA(window, g_titleBuffer, sizeof g_titleBuffer);
  if (std::strstr(g_titleBuffer, search->text) != nullptr) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}
