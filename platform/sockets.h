// Sockets as the program uses them: handles, connect, send, receive, a wait
// for readable data, and the thread's last socket error (errno; on Windows
// WSAGetLastError).
#pragma once

#ifdef _WIN32
#include <cstdint>
// Winsock's headers bring all of windows.h, whose names clash with the
// program's own vocabulary: code above this layer sees only these.
struct sockaddr;
using socklen_t = int;
#else
#include <sys/socket.h>  // sockaddr, socklen_t, AF_*, SOCK_*
#endif

namespace platform {

#ifdef _WIN32
using SOCKET = std::uintptr_t;  // Winsock's SOCKET
inline constexpr SOCKET INVALID_SOCKET = ~static_cast<SOCKET>(0);
#else
using SOCKET = int;
inline constexpr SOCKET INVALID_SOCKET = -1;
#endif
inline constexpr int SOCKET_ERROR = -1;

// The values both systems give AF_UNSPEC, AF_INET and SOCK_DGRAM.
inline constexpr int kAnyAddressFamily = 0;
inline constexpr int kIPv4 = 2;
inline constexpr int kDatagramSocket = 2;

// Each returns INVALID_SOCKET / SOCKET_ERROR on failure, with the reason in
// LastSocketError().
SOCKET OpenSocket(int family, int type, int protocol);
int CloseSocket(SOCKET socket);
int BindSocket(SOCKET socket, const sockaddr* address, socklen_t length);
int ConnectSocket(SOCKET socket, const sockaddr* address, socklen_t length);

// Bytes sent.
int SendSocket(SOCKET socket, const void* data, int length, int flags);

// Bytes received; 0 for an empty datagram. A datagram longer than capacity
// is an error (kErrorMessageTooLong) and is gone afterwards, as a receive that
// cuts a datagram short is on Windows.
int ReceiveSocket(SOCKET socket, void* buffer, int capacity, int flags);

// 1 when data (or a pending error) can be read within timeoutMs, 0 when the
// time passed first; 0 ms only polls.
int WaitSocketReadable(SOCKET socket, unsigned timeoutMs);

int LastSocketError();
void SetLastSocketError(int error);

}  // namespace platform
