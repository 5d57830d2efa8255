#include "platform/window_messages.h"

#include <map>
#include <mutex>
#include <utility>

namespace platform {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<WindowHandle, MessageSink> sinks;
  WindowHandle next = 1;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

WindowHandle RegisterWindow(MessageSink sink) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  WindowHandle h = r.next++;
  r.sinks.emplace(h, std::move(sink));
  return h;
}

void UnregisterWindow(WindowHandle window) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.sinks.erase(window);
}

bool PostWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  Registry& r = TheRegistry();
  // The sink runs under the lock so that a window cannot be unregistered
  // (and its sink destroyed) halfway through a post.
  std::lock_guard lock(r.mutex);
  auto it = r.sinks.find(window);
  if (it == r.sinks.end()) return false;
  it->second(message, wParam, lParam);
  return true;
}

}  // namespace platform
