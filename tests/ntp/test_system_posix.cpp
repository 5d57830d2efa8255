#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <filesystem>

#include "tests/ntp/fake_ntp_server.h"
#include "tests/ntp/test_system.h"

int BoundPort(platform::SOCKET socket) {
  sockaddr_storage storage{};
  socklen_t length = sizeof storage;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&storage), &length) != 0) return 0;
  return ntohs(storage.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                                             : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
}

int ReceiveFrom(platform::SOCKET socket, unsigned char* buffer, int capacity, UdpPeer& peer) {
  socklen_t length = sizeof peer.address;
  const ssize_t n = recvfrom(socket, buffer, static_cast<size_t>(capacity), 0,
                             reinterpret_cast<sockaddr*>(peer.address), &length);
  peer.length = static_cast<int>(length);
  return static_cast<int>(n);
}

void SendTo(platform::SOCKET socket, const unsigned char* data, int length, const UdpPeer& peer) {
  sendto(socket, data, static_cast<size_t>(length), 0, reinterpret_cast<const sockaddr*>(peer.address),
         static_cast<socklen_t>(peer.length));
}

int OpenDescriptorCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

int ClosedPortCode() { return ECONNREFUSED; }
