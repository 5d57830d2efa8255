#include "app/instance_guard.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/window_messages.h"
#include "ui/tempiola_dlg.h"
#include "ui/framework/top_level_windows.h"

platform::InstanceChannel* g_hInstanceMutex = nullptr;
DWORD g_instanceMutexError = 0;

namespace {

// Handles standing for the other instance's windows; a post to one travels
// over the channel. Replaced at each enumeration.
std::mutex g_proxyMutex;
std::vector<HWND> g_proxies;

std::vector<AfxTopLevelWindow> ForeignWindows() {
  std::vector<std::string> titles;
  std::vector<AfxTopLevelWindow> windows;
  if (!platform::InstanceChannel::QueryTitles(kInstanceName, titles)) return windows;
  std::lock_guard lock(g_proxyMutex);
  for (HWND old : g_proxies) platform::UnregisterWindow(old);
  g_proxies.clear();
  for (std::size_t i = 0; i < titles.size(); ++i) {
    const int index = static_cast<int>(i);
    // The channel carries the activation request alone; any other post to
    // the other instance's window is dropped here.
    const HWND proxy = platform::RegisterWindow([index](unsigned message, std::uintptr_t w, std::intptr_t l) {
      if (message == WM_ACTIVATE_INSTANCE && w == 0 && l == 0) {
        platform::InstanceChannel::ActivateWindow(kInstanceName, index);
      }
    });
    g_proxies.push_back(proxy);
    windows.push_back(AfxTopLevelWindow{proxy, titles[i]});
  }
  return windows;
}

void CloseInstanceGuard() {
  delete g_hInstanceMutex;
  g_hInstanceMutex = nullptr;
}

}  // namespace

void CreateInstanceGuard() {
  // The window list and the message registry that the serving thread uses
  // are built first, so that they outlive the guard at exit.
  AfxTopLevelWindows();
  platform::PostWindowMessage(0, 0, 0, 0);
  auto* channel = new platform::InstanceChannel;
  if (!channel->Create(kInstanceName) && channel->AlreadyExists()) {
    g_instanceMutexError = ERROR_ALREADY_EXISTS;
  }
  g_hInstanceMutex = channel;
  std::atexit(CloseInstanceGuard);
  if (g_instanceMutexError == ERROR_ALREADY_EXISTS) {
    AfxSetForeignWindowSource(ForeignWindows);
    return;
  }
  // The first instance answers with its own top-level windows (from any
  // thread: the list is kept under a lock).
  channel->Serve(
      [] {
        std::vector<std::string> titles;
        for (const AfxTopLevelWindow& w : AfxTopLevelWindows()) titles.push_back(w.title);
        return titles;
      },
      [](int index) {
        const std::vector<AfxTopLevelWindow> windows = AfxTopLevelWindows();
        if (index >= 0 && static_cast<std::size_t>(index) < windows.size()) {
          PostMessage(windows[static_cast<std::size_t>(index)].handle, WM_ACTIVATE_INSTANCE, 0, 0);
        }
      });
}
