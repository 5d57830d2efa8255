#include "platform/socket_startup.h"

#include <winsock2.h>

namespace platform {

// Winsock 2.2, started once for the life of the process: the program never
// stops using sockets before it ends.
bool SocketStartup() {
  static const bool started = [] {
    WSADATA data{};
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

}  // namespace platform
