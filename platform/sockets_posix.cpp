#include "platform/sockets.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace platform {

SOCKET OpenSocket(int family, int type, int protocol) {
  const int fd = ::socket(family, type | SOCK_CLOEXEC, protocol);
  return fd < 0 ? INVALID_SOCKET : fd;
}

int CloseSocket(SOCKET socket) { return ::close(socket) == 0 ? 0 : SOCKET_ERROR; }

int BindSocket(SOCKET socket, const sockaddr* address, socklen_t length) {
  return ::bind(socket, address, length) == 0 ? 0 : SOCKET_ERROR;
}

int ConnectSocket(SOCKET socket, const sockaddr* address, socklen_t length) {
  return ::connect(socket, address, length) == 0 ? 0 : SOCKET_ERROR;
}

int SendSocket(SOCKET socket, const void* data, int length, int flags) {
  if (length < 0) {
    errno = EINVAL;
    return SOCKET_ERROR;
  }
  ssize_t sent;
  do {
    sent = ::send(socket, data, static_cast<size_t>(length), flags | MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return sent < 0 ? SOCKET_ERROR : static_cast<int>(sent);
}

int ReceiveSocket(SOCKET socket, void* buffer, int capacity, int flags) {
  if (capacity < 0) {
    errno = EINVAL;
    return SOCKET_ERROR;
  }
  iovec part{buffer, static_cast<size_t>(capacity)};
  msghdr message{};
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  ssize_t received;
  do {
    received = ::recvmsg(socket, &message, flags);
  } while (received < 0 && errno == EINTR);
  if (received < 0) return SOCKET_ERROR;
  // The kernel marks a datagram that did not fit; its rest is already gone.
  if (message.msg_flags & MSG_TRUNC) {
    errno = EMSGSIZE;
    return SOCKET_ERROR;
  }
  return static_cast<int>(received);
}

int WaitSocketReadable(SOCKET socket, unsigned timeoutMs) {
  // poll rather than select: no ceiling on the descriptor number.
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  pollfd entry{socket, POLLIN, 0};
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const int ready = ::poll(&entry, 1, left > 0 ? static_cast<int>(left) : 0);
    if (ready > 0) {
      if (entry.revents & POLLNVAL) {
        errno = EBADF;
        return SOCKET_ERROR;
      }
      return 1;
    }
    if (ready == 0) return 0;
    if (errno != EINTR) return SOCKET_ERROR;
  }
}

int LastSocketError() { return errno; }

void SetLastSocketError(int error) { errno = error; }

}  // namespace platform
