// Start-up of the socket layer: WSAStartup on Windows. POSIX sockets need no
// start-up call; what can fail there is the system refusing sockets at all
// (no descriptors left, a sandbox without networking), so that is what this
// checks. Call it before any other socket call; calling it again is harmless.
#pragma once

namespace platform {

// True when sockets can be used.
bool SocketStartup();

}  // namespace platform
