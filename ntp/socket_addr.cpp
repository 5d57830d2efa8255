#include "ntp/socket_addr.h"

namespace ATL {

CSocketAddr::~CSocketAddr() { Free(); }

int CSocketAddr::Resolve(const char* host, const char* service, int flags, int family, int socketType,
                         int protocol) {
  Free();
  return platform::GetAddressInfo(host, service, flags, family, socketType, protocol, &m_pAddrs);
}

void CSocketAddr::Free() {
  platform::FreeAddressInfo(m_pAddrs);
  m_pAddrs = nullptr;
}

}  // namespace ATL
