// Start-up of the socket layer. POSIX sockets need no start-up call; what
// can fail is the system refusing sockets at all (no descriptors left, a
// sandbox without networking), so that is what this checks.
#pragma once

namespace platform {

// True when a datagram socket can be created.
bool SocketStartup();

}  // namespace platform
