// Linked into every test program that may set the clock: a program without
// the right to set it asks the system's time service, and no test may ever
// reach the machine's own. Tests of that path bring a private bus
// (tests/platform/private_system_bus.h).
#include <stdlib.h>

namespace {

const bool kNoSystemBus = ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/tempiola-test-bus", 1) == 0;

}  // namespace
