// Name resolution: a host (name or literal address) and a service (port as
// text) become a list of socket addresses.
#pragma once

#include <netdb.h>  // addrinfo, AI_*

namespace platform {

// getaddrinfo with hints made of the four ints. 0 on success, with the list
// in *list (free it with FreeAddressInfo); otherwise the resolver's code
// (negative, EAI_*), or the errno value when the resolver reports a system
// error, and *list is null.
int GetAddressInfo(const char* host, const char* service, int flags, int family, int socketType, int protocol,
                   addrinfo** list);

void FreeAddressInfo(addrinfo* list);

}  // namespace platform
