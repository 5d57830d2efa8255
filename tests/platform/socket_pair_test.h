// Two UDP sockets on loopback connected to each other, through the
// program's own socket and resolver calls only.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/resolver.h"
#include "platform/socket_startup.h"
#include "platform/sockets.h"

class SocketPairTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::SocketStartup());
    a_ = platform::OpenSocket(platform::kIPv4, platform::kDatagramSocket, 0);
    b_ = platform::OpenSocket(platform::kIPv4, platform::kDatagramSocket, 0);
    ASSERT_NE(a_, platform::INVALID_SOCKET);
    ASSERT_NE(b_, platform::INVALID_SOCKET);
    // Ports of our own choosing, since the calls give no bound port back.
    std::minstd_rand pick(std::random_device{}());
    int ports[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
      for (int attempt = 0; attempt < 50 && ports[k] == 0; ++attempt) {
        const int port = 20000 + static_cast<int>(pick() % 30000);
        if (WithLoopback(port, [&](const platform::AddressEntry& e) {
              return platform::BindSocket(k == 0 ? a_ : b_, e.address, e.length) == 0;
            })) {
          ports[k] = port;
        }
      }
      ASSERT_NE(ports[k], 0) << "no free loopback port";
    }
    ASSERT_TRUE(WithLoopback(ports[1], [&](const platform::AddressEntry& e) {
      return platform::ConnectSocket(a_, e.address, e.length) == 0;
    }));
    ASSERT_TRUE(WithLoopback(ports[0], [&](const platform::AddressEntry& e) {
      return platform::ConnectSocket(b_, e.address, e.length) == 0;
    }));
  }
  void TearDown() override {
    if (a_ != platform::INVALID_SOCKET) platform::CloseSocket(a_);
    if (b_ != platform::INVALID_SOCKET) platform::CloseSocket(b_);
  }

  // Calls use with 127.0.0.1:port; false when it cannot be made or use fails.
  template <typename Use>
  static bool WithLoopback(int port, Use use) {
    addrinfo* list = nullptr;
    if (platform::GetAddressInfo("127.0.0.1", std::to_string(port).c_str(), 0, platform::kIPv4,
                                 platform::kDatagramSocket, 0, &list) != 0) {
      return false;
    }
    const bool done = use(platform::ReadAddressEntry(list));
    platform::FreeAddressInfo(list);
    return done;
  }

  platform::SOCKET a_ = platform::INVALID_SOCKET;
  platform::SOCKET b_ = platform::INVALID_SOCKET;
};
