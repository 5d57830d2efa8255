// Linked into every test program that uses sockets: the programs start the
// socket layer (WSAStartup on Windows) before their first socket call, and so
// does this, before any test runs.
#include "platform/socket_startup.h"

namespace {

const bool kSocketsStarted = platform::SocketStartup();

}  // namespace
