// For a test's child process: gives up CAP_SYS_TIME (effective and
// permitted), so that nothing it does can move the machine's clock.
#pragma once

#include <sys/capability.h>

inline bool DropClockRight() {
  cap_t caps = cap_get_proc();
  const cap_value_t time[] = {CAP_SYS_TIME};
  const bool dropped = caps != nullptr && cap_set_flag(caps, CAP_EFFECTIVE, 1, time, CAP_CLEAR) == 0 &&
                       cap_set_flag(caps, CAP_PERMITTED, 1, time, CAP_CLEAR) == 0 && cap_set_proc(caps) == 0;
  cap_flag_value_t held = CAP_SET;
  const bool cleared = dropped && cap_get_flag(caps, CAP_SYS_TIME, CAP_EFFECTIVE, &held) == 0 && held == CAP_CLEAR;
  if (caps != nullptr) cap_free(caps);
  return cleared;
}
