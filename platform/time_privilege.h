// The right to set the system clock: CAP_SYS_TIME, raised into the effective
// set only while the clock is being set when the process holds it in its
// permitted set. On Windows SeSystemtimePrivilege, enabled in the process's
// token around the clock call (OpenProcessToken, LookupPrivilegeValueA,
// AdjustTokenPrivileges); enabling succeeds also for an account without it,
// and the clock call then says so.
#pragma once

#include <functional>

namespace platform {

// Raises CAP_SYS_TIME into the effective set. False with errno set: EPERM
// when the process does not hold it in its permitted set.
bool RaiseTimePrivilege();

// Clears CAP_SYS_TIME from the effective set (the permitted set keeps it).
// False with errno set when the capability calls fail.
bool LowerTimePrivilege();

// Whether CAP_SYS_TIME is in the effective / permitted set now.
bool IsTimePrivilegeRaised();
bool IsTimePrivilegePermitted();

// Stands in for the capability calls: raise true to raise, false to lower.
// True, or false with errno set.
using PrivilegeSetter = std::function<bool(bool raise)>;

// While it lives, RaiseTimePrivilege and LowerTimePrivilege hand their step
// to the given setter instead of the process's capabilities, so that the
// steps around an injected clock (ClockOverride) run without CAP_SYS_TIME.
// The Is... queries still report the real sets. Same thread rule as
// ClockOverride.
class TimePrivilegeOverride {
 public:
  explicit TimePrivilegeOverride(PrivilegeSetter setter);
  ~TimePrivilegeOverride();
  TimePrivilegeOverride(const TimePrivilegeOverride&) = delete;
  TimePrivilegeOverride& operator=(const TimePrivilegeOverride&) = delete;

 private:
  PrivilegeSetter previous_;
};

}  // namespace platform
