// Ctrl-C and termination requests (SIGINT, SIGTERM) as an event, so a
// command-line loop can wait for them beside its other events.
#pragma once

#include "platform/event.h"

namespace platform {

// The event, signalled on each request from now on. Installs the handlers
// on the first call; null when no event could be made.
const Event* InterruptEvent();

}  // namespace platform
