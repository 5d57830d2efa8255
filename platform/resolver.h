// Name resolution: a host (name or literal address) and a service (port as
// text) become a list of socket addresses.
#pragma once

#ifdef _WIN32
struct addrinfo;  // Winsock's, kept out of sight as in sockets.h
#else
#include <netdb.h>  // addrinfo, AI_*
#endif

#include "platform/sockets.h"

namespace platform {

// getaddrinfo with hints made of the four ints. 0 on success, with the list
// in *list (free it with FreeAddressInfo); otherwise the resolver's code
// (negative, EAI_*), or the errno value when the resolver reports a system
// error, and *list is null. On Windows the code is Winsock's (WSAHOST_NOT_FOUND
// and the like).
int GetAddressInfo(const char* host, const char* service, int flags, int family, int socketType, int protocol,
                   addrinfo** list);

void FreeAddressInfo(addrinfo* list);

// AI_PASSIVE on both systems: an address to bind to.
inline constexpr int kPassiveAddress = 1;

// One entry of a list, in the fields a connect needs.
struct AddressEntry {
  int family = 0;
  int protocol = 0;
  const sockaddr* address = nullptr;
  int length = 0;
};

AddressEntry ReadAddressEntry(const addrinfo* entry);
// The entry after this one; null at the end.
const addrinfo* NextAddressEntry(const addrinfo* entry);

}  // namespace platform
