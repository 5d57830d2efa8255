// Runs a check in a forked child, for steps that must not touch the test
// process itself (giving up a capability for good).
#pragma once

#include <sys/capability.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

// The child's exit status, or -1 when it did not exit normally.
template <typename F>
int RunInChild(F check) {
  const pid_t pid = fork();
  if (pid == 0) _exit(check());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Removes CAP_SYS_TIME from every set of this process; it cannot come back.
inline bool GiveUpTimeCapability() {
  cap_t caps = cap_get_proc();
  if (caps == nullptr) return false;
  const cap_value_t time[] = {CAP_SYS_TIME};
  bool ok = cap_set_flag(caps, CAP_EFFECTIVE, 1, time, CAP_CLEAR) == 0 &&
            cap_set_flag(caps, CAP_PERMITTED, 1, time, CAP_CLEAR) == 0 &&
            cap_set_flag(caps, CAP_INHERITABLE, 1, time, CAP_CLEAR) == 0 && cap_set_proc(caps) == 0;
  cap_free(caps);
  cap_flag_value_t held = CAP_SET;
  caps = cap_get_proc();
  ok = ok && caps != nullptr && cap_get_flag(caps, CAP_SYS_TIME, CAP_PERMITTED, &held) == 0 && held == CAP_CLEAR;
  if (caps != nullptr) cap_free(caps);
  return ok;
}
