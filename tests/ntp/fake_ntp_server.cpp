#include "tests/ntp/fake_ntp_server.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "platform/resolver.h"
#include "platform/socket_startup.h"
#include "tests/ntp/test_system.h"

FakeNtpServer::FakeNtpServer(ReplyFunction reply, const char* address)
    : FakeNtpServer(
          [reply = std::move(reply)](const Bytes& request) {
            std::optional<Bytes> answer = reply(request);
            return answer ? Datagrams{*answer} : Datagrams{};
          },
          address) {}

FakeNtpServer::FakeNtpServer(RepliesFunction replies, const char* address) : replies_(std::move(replies)) {
  addrinfo* list = nullptr;
  if (!platform::SocketStartup() || platform::GetAddressInfo(address, "0", platform::kPassiveAddress,
                                                             platform::kAnyAddressFamily, platform::kDatagramSocket,
                                                             0, &list) != 0) {
    throw std::runtime_error("fake NTP server: bad address");
  }
  const platform::AddressEntry entry = platform::ReadAddressEntry(list);
  socket_ = platform::OpenSocket(entry.family, platform::kDatagramSocket, entry.protocol);
  const bool bound = socket_ != platform::INVALID_SOCKET &&
                     platform::BindSocket(socket_, entry.address, static_cast<socklen_t>(entry.length)) == 0;
  platform::FreeAddressInfo(list);
  port_ = bound ? BoundPort(socket_) : 0;
  if (port_ == 0) {
    if (socket_ != platform::INVALID_SOCKET) platform::CloseSocket(socket_);
    throw std::runtime_error("fake NTP server: cannot bind");
  }
  thread_ = std::thread(&FakeNtpServer::Serve, this);
}

FakeNtpServer::~FakeNtpServer() {
  stop_ = true;
  thread_.join();
  platform::CloseSocket(socket_);
}

void FakeNtpServer::Serve() {
  // A short wait, so that the stop request is seen soon.
  while (!stop_) {
    if (platform::WaitSocketReadable(socket_, 10) != 1) continue;
    Bytes request(2048);
    UdpPeer peer;
    const int n = ReceiveFrom(socket_, request.data(), static_cast<int>(request.size()), peer);
    if (n < 0) continue;
    request.resize(static_cast<size_t>(n));
    ++requests_;
    const Datagrams answers = replies_(request);
    for (std::size_t i = 0; i < answers.size(); ++i) {
      if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      SendTo(socket_, answers[i].data(), static_cast<int>(answers[i].size()), peer);
    }
  }
}

NtpTimestamp RequestTransmit(const Bytes& request) {
  NtpTimestamp t;
  if (request.size() >= 48) t.FromNetwork(request.data() + 40);
  return t;
}

Bytes ServerReply(const Bytes& request, std::size_t size) {
  Bytes reply(std::max<std::size_t>(size, 48), 0);
  reply[0] = 0x24;  // leap indicator 0, version 4, mode 4
  reply[1] = 2;
  const NtpTimestamp t1 = RequestTransmit(request);
  t1.ToNetwork(reply.data() + 24);
  t1.AddSeconds(0.5).ToNetwork(reply.data() + 32);
  t1.AddSeconds(0.5).ToNetwork(reply.data() + 40);
  reply.resize(size);
  return reply;
}
