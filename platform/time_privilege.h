// The right to set the system clock: CAP_SYS_TIME. The installed programs
// hold it in their permitted set (a file capability given at installation);
// it is raised into the effective set only while the clock is being set.
#pragma once

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

}  // namespace platform
