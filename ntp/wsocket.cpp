#include "ntp/wsocket.h"

#include <cstdio>

#include "ntp/socket_addr.h"
#include "ntp/wsocket_exception.h"

CWSocket::~CWSocket() { Close(); }

void CWSocket::Create(int socketType, int protocol, int family) {
  m_hSocket = platform::OpenSocket(family, socketType, protocol);
  if (m_hSocket == platform::INVALID_SOCKET) ThrowSocketError(0);
}

int CWSocket::Close() {
  if (m_hSocket == platform::INVALID_SOCKET) return -1;
  const int result = platform::CloseSocket(m_hSocket);
  m_hSocket = platform::INVALID_SOCKET;
  return result;
}

void CWSocket::Bind(const sockaddr* address, int length) {
  if (platform::BindSocket(m_hSocket, address, static_cast<socklen_t>(length)) == platform::SOCKET_ERROR) {
    ThrowSocketError(0);
  }
}

void CWSocket::Connect(const sockaddr* address, int length) {
  if (platform::ConnectSocket(m_hSocket, address, static_cast<socklen_t>(length)) == platform::SOCKET_ERROR) {
    ThrowSocketError(0);
  }
}

void CWSocket::BindLocal(const char* service) {
  if (m_sBindAddress.empty()) return;
  ATL::CSocketAddr local;
  if (int result = local.Resolve(m_sBindAddress.c_str(), service, platform::kPassiveAddress, 0, 0, 0)) {
    ThrowSocketError(result);
  }
  const platform::AddressEntry first = platform::ReadAddressEntry(local.GetAddrInfoList());
  Bind(first.address, first.length);
}

void CWSocket::ConnectToService(const char* host, const char* service, int socketType, int family, int protocol) {
  ATL::CSocketAddr addresses;
  if (int result = addresses.Resolve(host, service, 0, family, socketType, protocol)) ThrowSocketError(result);
  int lastError = 0;
  bool connected = false;
  for (const addrinfo* entry = addresses.GetAddrInfoList(); entry != nullptr && !connected;
       entry = platform::NextAddressEntry(entry)) {
    const platform::AddressEntry address = platform::ReadAddressEntry(entry);
    try {
      Close();
      Create(socketType, address.protocol, address.family);
      BindLocal(service);
      Connect(address.address, address.length);
      connected = true;
    } catch (CWSocketException* e) {
      lastError = e->m_nError;
      e->Delete();
    }
  }
  if (!connected) ThrowSocketError(lastError);
}

void CWSocket::ConnectToHost(const char* host, UINT port, int socketType, int family, int protocol) {
  char service[32];
  std::snprintf(service, sizeof service, "%u", port);
  ConnectToService(host, service, socketType, family, protocol);
}

int CWSocket::Send(const void* data, int length, int flags) {
  const int sent = platform::SendSocket(m_hSocket, data, length, flags);
  if (sent == platform::SOCKET_ERROR) ThrowSocketError(0);
  return sent;
}

int CWSocket::Receive(void* buffer, int capacity, int flags) {
  const int received = platform::ReceiveSocket(m_hSocket, buffer, capacity, flags);
  if (received == platform::SOCKET_ERROR) ThrowSocketError(0);
  return received;
}

bool CWSocket::WaitReadable(UINT timeoutMs) {
  const int ready = platform::WaitSocketReadable(m_hSocket, timeoutMs);
  if (ready == platform::SOCKET_ERROR) ThrowSocketError(0);
  return ready != 0;
}
