#include "platform/time_privilege.h"

#include <sys/capability.h>

#include <cerrno>
#include <utility>

namespace platform {
namespace {

// The process's capability state, freed on every path.
class Capabilities {
 public:
  Capabilities() : caps_(cap_get_proc()) {}
  ~Capabilities() {
    if (caps_ != nullptr) cap_free(caps_);
  }
  Capabilities(const Capabilities&) = delete;
  Capabilities& operator=(const Capabilities&) = delete;

  bool ok() const { return caps_ != nullptr; }

  bool Has(cap_flag_t set) const {
    cap_flag_value_t value = CAP_CLEAR;
    return ok() && cap_get_flag(caps_, CAP_SYS_TIME, set, &value) == 0 && value == CAP_SET;
  }

  // Sets CAP_SYS_TIME in the effective set to value and applies the state.
  bool SetEffective(cap_flag_value_t value) {
    const cap_value_t capability[] = {CAP_SYS_TIME};
    return cap_set_flag(caps_, CAP_EFFECTIVE, 1, capability, value) == 0 && cap_set_proc(caps_) == 0;
  }

 private:
  cap_t caps_;
};

PrivilegeSetter& CurrentSetter() {
  static PrivilegeSetter setter;  // empty: the process's capabilities
  return setter;
}

}  // namespace

bool RaiseTimePrivilege() {
  if (const PrivilegeSetter& setter = CurrentSetter()) return setter(true);
  Capabilities caps;
  if (!caps.ok()) return false;
  if (!caps.Has(CAP_PERMITTED)) {
    errno = EPERM;
    return false;
  }
  return caps.SetEffective(CAP_SET);
}

bool LowerTimePrivilege() {
  if (const PrivilegeSetter& setter = CurrentSetter()) return setter(false);
  Capabilities caps;
  return caps.ok() && caps.SetEffective(CAP_CLEAR);
}

bool IsTimePrivilegeRaised() { return Capabilities().Has(CAP_EFFECTIVE); }

bool IsTimePrivilegePermitted() { return Capabilities().Has(CAP_PERMITTED); }

TimePrivilegeOverride::TimePrivilegeOverride(PrivilegeSetter setter)
    : previous_(std::exchange(CurrentSetter(), std::move(setter))) {}

TimePrivilegeOverride::~TimePrivilegeOverride() { CurrentSetter() = std::move(previous_); }

}  // namespace platform
