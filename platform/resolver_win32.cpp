#include <winsock2.h>
#include <ws2tcpip.h>
// The layer's own constants of these names stand for them.
#undef INVALID_SOCKET
#undef SOCKET_ERROR

#include "platform/resolver.h"

namespace platform {

int GetAddressInfo(const char* host, const char* service, int flags, int family, int socketType, int protocol,
                   addrinfo** list) {
  *list = nullptr;
  addrinfo hints{};
  hints.ai_flags = flags;
  hints.ai_family = family;
  hints.ai_socktype = socketType;
  hints.ai_protocol = protocol;
  const int result = ::getaddrinfo(host, service, &hints, list);
  if (result == 0) return 0;
  *list = nullptr;
  return result;
}

void FreeAddressInfo(addrinfo* list) {
  if (list != nullptr) ::freeaddrinfo(list);
}

AddressEntry ReadAddressEntry(const addrinfo* entry) {
  return AddressEntry{entry->ai_family, entry->ai_protocol, entry->ai_addr, static_cast<int>(entry->ai_addrlen)};
}

const addrinfo* NextAddressEntry(const addrinfo* entry) { return entry->ai_next; }

static_assert(kPassiveAddress == AI_PASSIVE && kAnyAddressFamily == AF_UNSPEC && kIPv4 == AF_INET &&
              kDatagramSocket == SOCK_DGRAM);

}  // namespace platform
