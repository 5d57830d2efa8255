// The system's time service (systemd-timedated, org.freedesktop.timedate1 on
// the system D-Bus): how a process without CAP_SYS_TIME sets the clock. The
// service asks polkit, which asks for an administrator's password when the
// call allows interactive authorisation. Windows has none: there the call
// fails with an empty reason and the privilege's own failure stands.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// How long a call may wait for the answer: long enough for a person to type
// a password at the prompt.
inline constexpr int kTimeServiceTimeoutMs = 120000;

// Asks the service to move the clock by microseconds (relative) or to set it
// to microseconds since 1970 UTC, with interactive authorisation allowed.
// True when the service set it; false with the reason (GBK) otherwise: not
// authorised, automatic synchronisation enabled, no service, no bus.
bool SetTimeThroughService(std::int64_t microseconds, bool relative, std::string& reason);

// Called every few tens of milliseconds while a call waits for its answer,
// on the waiting thread; the window program repaints its windows there.
// Empty by default.
void SetTimeServiceWaitHook(std::function<void()> hook);

}  // namespace platform
