// On Windows the guard is a named mutex of the session, and the "channel"
// is the system itself: a second instance lists every top-level window by
// EnumWindows / GetWindowTextA and posts the activation message straight to
// the one it picked, which the first instance's dialog receives.
#include <windows.h>

#include <mutex>

#include "platform/instance_channel.h"
#include "platform/window_messages.h"

namespace platform {
namespace {

constexpr UINT kActivateMessage = 1246;  // WM_ACTIVATE_INSTANCE

std::mutex g_listMutex;
std::vector<HWND> g_listed;  // the windows of the last QueryTitles, by index
HANDLE g_mutex = nullptr;

BOOL CALLBACK Collect(HWND window, LPARAM lParam) {
  auto* titles = reinterpret_cast<std::vector<std::string>*>(lParam);
  char text[256] = {0};
  GetWindowTextA(window, text, sizeof text);
  titles->push_back(text);
  g_listed.push_back(window);
  return TRUE;
}

}  // namespace

InstanceChannel::~InstanceChannel() {
  if (lockFd_ >= 0 && g_mutex != nullptr) {
    CloseHandle(g_mutex);
    g_mutex = nullptr;
  }
}

bool InstanceChannel::Create(const std::string& name) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  const DWORD error = GetLastError();
  if (mutex == nullptr) return false;
  // The handle is kept either way, as long as this object lives.
  g_mutex = mutex;
  lockFd_ = 0;
  alreadyExists_ = error == ERROR_ALREADY_EXISTS;
  return !alreadyExists_;
}

bool InstanceChannel::Serve(ListTitles, Activate) { return lockFd_ >= 0 && !alreadyExists_; }

bool InstanceChannel::QueryTitles(const std::string&, std::vector<std::string>& titles) {
  std::lock_guard lock(g_listMutex);
  g_listed.clear();
  titles.clear();
  return EnumWindows(Collect, reinterpret_cast<LPARAM>(&titles)) != FALSE;
}

bool InstanceChannel::ActivateWindow(const std::string&, int index) {
  std::lock_guard lock(g_listMutex);
  if (index < 0 || static_cast<std::size_t>(index) >= g_listed.size()) return false;
  return PostMessageA(g_listed[static_cast<std::size_t>(index)], kActivateMessage, 0, 0) != FALSE;
}

std::string InstanceChannel::RuntimeDirectory() { return std::string(); }

}  // namespace platform
