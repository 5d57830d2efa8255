// The program's top-level windows, kept by every back end as they come,
// go, take a title and come forward, and the enumeration over them and the
// windows of other processes.
#include <algorithm>
#include <map>
#include <mutex>

#include "afx/gbk.h"
#include "ui/framework/detail/top_level_list.h"
#include "ui/framework/top_level_windows.h"

namespace {

struct WindowList {
  std::mutex mutex;
  std::vector<AfxTopLevelWindow> windows;  // topmost first
  std::map<HWND, std::string> foreignTitles;
  std::function<std::vector<AfxTopLevelWindow>()> foreign;
};

WindowList& List() {
  static WindowList list;
  return list;
}

}  // namespace

namespace afx {

void AddTopLevel(HWND handle, const std::string& titleGbk) {
  WindowList& l = List();
  std::lock_guard lock(l.mutex);
  l.windows.insert(l.windows.begin(), AfxTopLevelWindow{handle, titleGbk});
}

void SetTopLevelTitle(HWND handle, const std::string& titleGbk) {
  WindowList& l = List();
  std::lock_guard lock(l.mutex);
  for (auto& w : l.windows) {
    if (w.handle == handle) w.title = titleGbk;
  }
}

void RaiseTopLevel(HWND handle) {
  WindowList& l = List();
  std::lock_guard lock(l.mutex);
  auto it = std::find_if(l.windows.begin(), l.windows.end(), [&](const auto& w) { return w.handle == handle; });
  if (it != l.windows.end()) std::rotate(l.windows.begin(), it, it + 1);
}

void RemoveTopLevel(HWND handle) {
  WindowList& l = List();
  std::lock_guard lock(l.mutex);
  std::erase_if(l.windows, [&](const auto& w) { return w.handle == handle; });
}

}  // namespace afx

std::vector<AfxTopLevelWindow> AfxTopLevelWindows() {
  WindowList& l = List();
  std::lock_guard lock(l.mutex);
  return l.windows;
}

void AfxSetForeignWindowSource(std::function<std::vector<AfxTopLevelWindow>()> source) {
  WindowList& l = List();
  std::lock_guard lock(l.mutex);
  l.foreign = std::move(source);
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
  std::vector<AfxTopLevelWindow> all = AfxTopLevelWindows();
  std::function<std::vector<AfxTopLevelWindow>()> foreign;
  {
    WindowList& l = List();
    std::lock_guard lock(l.mutex);
    foreign = l.foreign;
  }
  if (foreign) {
    std::vector<AfxTopLevelWindow> others = foreign();
    WindowList& l = List();
    std::lock_guard lock(l.mutex);
    l.foreignTitles.clear();
    for (const auto& w : others) l.foreignTitles[w.handle] = w.title;
    all.insert(all.end(), others.begin(), others.end());
  }
  for (const auto& w : all) {
    if (!proc(w.handle, lParam)) break;
  }
  return TRUE;
}

int GetWindowTextA(HWND window, char* buffer, int maxCount) {
  if (buffer == nullptr || maxCount <= 0) return 0;
  std::string title;
  bool found = false;
  {
    WindowList& l = List();
    std::lock_guard lock(l.mutex);
    for (const auto& w : l.windows) {
      if (w.handle == window) {
        title = w.title;
        found = true;
      }
    }
    if (!found) {
      auto it = l.foreignTitles.find(window);
      if (it != l.foreignTitles.end()) title = it->second;
    }
  }
  return static_cast<int>(GbkCopyCut(title, buffer, static_cast<std::size_t>(maxCount)));
}
