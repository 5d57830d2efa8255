// A socket for one connected exchange: resolve a host, connect to the first
// address that takes a socket, send, wait for data, receive, close. Every
// failing call throws a CWSocketException (by pointer) with the error code.
#pragma once

#include <string>

#include "platform/sockets.h"
#include "afx/afx_types.h"

class CWSocket {
 public:
  CWSocket() = default;
  virtual ~CWSocket();
  CWSocket(const CWSocket&) = delete;
  CWSocket& operator=(const CWSocket&) = delete;

  void Create(int socketType, int protocol, int family);
  // The result of closing, or -1 when no socket was open. Never throws.
  int Close();
  bool IsOpen() const { return m_hSocket != platform::INVALID_SOCKET; }

  void Bind(const sockaddr* address, int length);
  void Connect(const sockaddr* address, int length);

  // When a local address is set, each connection attempt binds to it first.
  void SetBindAddress(const std::string& address) { m_sBindAddress = address; }
  void BindLocal(const char* service);

  // Resolves host and service and connects to the first resolved address
  // that accepts a socket, in the resolver's order. Throws the resolver's
  // code, or the code of the last failed attempt.
  void ConnectToService(const char* host, const char* service, int socketType, int family, int protocol);
  void ConnectToHost(const char* host, UINT port, int socketType, int family, int protocol);

  int Send(const void* data, int length, int flags);
  // Bytes received, 0 for an empty datagram; a datagram longer than
  // capacity throws (EMSGSIZE).
  int Receive(void* buffer, int capacity, int flags);
  // True when data can be read within timeoutMs, false when it passed.
  bool WaitReadable(UINT timeoutMs);

 private:
  platform::SOCKET m_hSocket = platform::INVALID_SOCKET;
  std::string m_sBindAddress;
};
