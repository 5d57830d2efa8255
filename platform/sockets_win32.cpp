#include <winsock2.h>
#include <ws2tcpip.h>
// The layer's own constants of these names stand for them.
#undef INVALID_SOCKET
#undef SOCKET_ERROR

#include "platform/sockets.h"

namespace platform {

SOCKET OpenSocket(int family, int type, int protocol) {
  // Not inherited by child processes, as SOCK_CLOEXEC does elsewhere.
  return ::WSASocketW(family, type, protocol, nullptr, 0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
}

int CloseSocket(SOCKET socket) { return ::closesocket(socket) == 0 ? 0 : SOCKET_ERROR; }

int BindSocket(SOCKET socket, const sockaddr* address, socklen_t length) {
  return ::bind(socket, address, length) == 0 ? 0 : SOCKET_ERROR;
}

int ConnectSocket(SOCKET socket, const sockaddr* address, socklen_t length) {
  return ::connect(socket, address, length) == 0 ? 0 : SOCKET_ERROR;
}

int SendSocket(SOCKET socket, const void* data, int length, int flags) {
  if (length < 0) {
    ::WSASetLastError(WSAEINVAL);
    return SOCKET_ERROR;
  }
  const int sent = ::send(socket, static_cast<const char*>(data), length, flags);
  return sent < 0 ? SOCKET_ERROR : sent;
}

// Winsock itself fails a datagram that does not fit with WSAEMSGSIZE and
// drops its rest.
int ReceiveSocket(SOCKET socket, void* buffer, int capacity, int flags) {
  if (capacity < 0) {
    ::WSASetLastError(WSAEINVAL);
    return SOCKET_ERROR;
  }
  const int received = ::recv(socket, static_cast<char*>(buffer), capacity, flags);
  return received < 0 ? SOCKET_ERROR : received;
}

int WaitSocketReadable(SOCKET socket, unsigned timeoutMs) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(socket, &readable);
  timeval limit{};
  limit.tv_sec = static_cast<long>(timeoutMs / 1000);
  limit.tv_usec = static_cast<long>(timeoutMs % 1000 * 1000);
  const int ready = ::select(0, &readable, nullptr, nullptr, &limit);
  if (ready == SOCKET_ERROR) return SOCKET_ERROR;
  return ready > 0 ? 1 : 0;
}

int LastSocketError() { return ::WSAGetLastError(); }

void SetLastSocketError(int error) { ::WSASetLastError(error); }

}  // namespace platform
