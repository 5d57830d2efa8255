// The right to set the clock played by a flag, so that the steps around an
// injected clock run for any user, with or without CAP_SYS_TIME. Use it only
// beside a platform::ClockOverride: root needs no raising to set the clock.
#pragma once

#include "platform/time_privilege.h"

class FakeTimePrivilege {
 public:
  FakeTimePrivilege()
      : override_([this](bool raise) {
          raised_ = raise;
          ++(raise ? raises_ : lowers_);
          return true;
        }) {}

  bool raised() const { return raised_; }
  int raises() const { return raises_; }
  int lowers() const { return lowers_; }

 private:
  bool raised_ = false;
  int raises_ = 0;
  int lowers_ = 0;
  platform::TimePrivilegeOverride override_;
};
