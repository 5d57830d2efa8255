// A resolved address list, owned: freed on destruction and before every new
// resolution.
#pragma once

#include "platform/resolver.h"

namespace ATL {

class CSocketAddr {
 public:
  CSocketAddr() = default;
  virtual ~CSocketAddr();
  CSocketAddr(const CSocketAddr&) = delete;
  CSocketAddr& operator=(const CSocketAddr&) = delete;

  // 0 on success, else the resolver's code (see platform::GetAddressInfo).
  // Never throws.
  int Resolve(const char* host, const char* service, int flags, int family, int socketType, int protocol);

  // The list in the resolver's order; null when there is none.
  const addrinfo* GetAddrInfoList() const { return m_pAddrs; }

 private:
  void Free();

  addrinfo* m_pAddrs = nullptr;
};

}  // namespace ATL
