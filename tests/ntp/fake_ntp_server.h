// A UDP server on loopback that answers each datagram with whatever the
// test's reply function makes of it (nothing, one datagram or several), on
// its own thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "ntp/ntp_timestamp.h"
#include "platform/sockets.h"

using Bytes = std::vector<unsigned char>;

class FakeNtpServer {
 public:
  // nullopt: stay silent.
  using ReplyFunction = std::function<std::optional<Bytes>(const Bytes& request)>;
  // Datagrams sent in order, 10 ms apart, so that the client has read one
  // before the next arrives.
  using Datagrams = std::vector<Bytes>;
  using RepliesFunction = std::function<Datagrams(const Bytes& request)>;

  explicit FakeNtpServer(ReplyFunction reply, const char* address = "127.0.0.1");
  explicit FakeNtpServer(RepliesFunction replies, const char* address = "127.0.0.1");
  ~FakeNtpServer();
  FakeNtpServer(const FakeNtpServer&) = delete;
  FakeNtpServer& operator=(const FakeNtpServer&) = delete;

  int port() const { return port_; }
  int requests() const { return requests_.load(); }

 private:
  void Serve();

  RepliesFunction replies_;
  platform::SOCKET socket_ = platform::INVALID_SOCKET;
  std::atomic<bool> stop_{false};
  int port_ = 0;
  std::atomic<int> requests_{0};
  std::thread thread_;
};

// The transmit timestamp of a request (bytes 40..47).
NtpTimestamp RequestTransmit(const Bytes& request);

// A well-formed server reply to request: leap indicator 0, version 4, mode 4,
// stratum 2, originate = the request's transmit time, receive and transmit =
// that + 0.5 s (a server half a second ahead that answers at once: on
// loopback no longer hold fits the round trip), padded with zeros to size
// bytes.
Bytes ServerReply(const Bytes& request, std::size_t size = 48);

// Number of open file descriptors (on Windows handles) of this process.
int OpenDescriptorCount();
