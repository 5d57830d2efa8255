// Posted window messages: a window handle names a registered receiver, and
// a post from any thread reaches it asynchronously. A post to a handle whose
// window is gone is dropped, as the system does for a destroyed window.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

using WindowHandle = std::uintptr_t;  // 0 is the null handle

// Called on the posting thread; it must only queue the message for the
// window's own thread (the window toolkit's thread-safe event queue does).
using MessageSink = std::function<void(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)>;

// A new, never reused handle for the sink.
WindowHandle RegisterWindow(MessageSink sink);

// After this returns no post reaches the sink any more.
void UnregisterWindow(WindowHandle window);

// False when the handle is null or its window is gone (nothing is posted).
bool PostWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace platform
