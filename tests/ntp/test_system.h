// What the NTP tests need of the system beyond the program's platform
// layer: for the test servers the port a socket is bound to and datagrams
// from and to a peer; how the system reports a datagram to a closed port.
#pragma once

#include "platform/sockets.h"

struct UdpPeer {
  alignas(8) unsigned char address[128] = {};  // a sockaddr_storage
  int length = 0;
};

// 0 when it cannot be read.
int BoundPort(platform::SOCKET socket);

// Bytes received, or -1.
int ReceiveFrom(platform::SOCKET socket, unsigned char* buffer, int capacity, UdpPeer& peer);
void SendTo(platform::SOCKET socket, const unsigned char* data, int length, const UdpPeer& peer);

// The code with which a query to a loopback port that nobody serves ends:
// the system's report of the port's refusal.
int ClosedPortCode();
