#include "platform/event.h"

#include <windows.h>
// The program's own CreateEvent below, not the system's A/W macro.
#undef CreateEvent

namespace platform {

Event::Event() : handle_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

Event::~Event() {
  if (handle_ != nullptr) ::CloseHandle(handle_);
}

bool Event::IsValid() const { return handle_ != nullptr; }

void Event::Set() const { ::SetEvent(handle_); }

bool Event::TryTake() const { return ::WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }

void Event::Reset() const { ::ResetEvent(handle_); }

EventHandle CreateEvent() {
  auto event = std::make_shared<Event>();
  if (!event->IsValid()) return nullptr;
  return event;
}

// WaitForMultipleObjects already reports the lowest signalled index and
// takes only that event's signal.
int WaitForEvents(const Event* const* events, int count, int timeoutMs) {
  constexpr int kMaxEvents = 8;
  if (count < 1 || count > kMaxEvents) return kWaitFailed;
  HANDLE handles[kMaxEvents];
  for (int i = 0; i < count; ++i) {
    if (events[i] == nullptr || !events[i]->IsValid()) return kWaitFailed;
    handles[i] = events[i]->handle();
  }
  const DWORD wait = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
  const DWORD r = ::WaitForMultipleObjects(static_cast<DWORD>(count), handles, FALSE, wait);
  if (r == WAIT_TIMEOUT) return kWaitTimeout;
  if (r < WAIT_OBJECT_0 + static_cast<DWORD>(count)) return static_cast<int>(r - WAIT_OBJECT_0);
  return kWaitFailed;
}

}  // namespace platform
