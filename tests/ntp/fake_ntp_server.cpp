#include "tests/ntp/fake_ntp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <stdexcept>

FakeNtpServer::FakeNtpServer(ReplyFunction reply, const char* address)
    : FakeNtpServer(
          [reply = std::move(reply)](const Bytes& request) {
            std::optional<Bytes> answer = reply(request);
            return answer ? Datagrams{*answer} : Datagrams{};
          },
          address) {}

FakeNtpServer::FakeNtpServer(RepliesFunction replies, const char* address) : replies_(std::move(replies)) {
  sockaddr_storage storage{};
  socklen_t length = 0;
  if (std::strchr(address, ':') != nullptr) {
    auto* a6 = reinterpret_cast<sockaddr_in6*>(&storage);
    a6->sin6_family = AF_INET6;
    inet_pton(AF_INET6, address, &a6->sin6_addr);
    length = sizeof *a6;
  } else {
    auto* a4 = reinterpret_cast<sockaddr_in*>(&storage);
    a4->sin_family = AF_INET;
    inet_pton(AF_INET, address, &a4->sin_addr);
    length = sizeof *a4;
  }
  fd_ = socket(storage.ss_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  stopFd_ = eventfd(0, EFD_CLOEXEC);
  if (fd_ < 0 || stopFd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&storage), length) != 0 ||
      getsockname(fd_, reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
    throw std::runtime_error("fake NTP server: cannot bind");
  }
  port_ = ntohs(storage.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                                              : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
  thread_ = std::thread(&FakeNtpServer::Serve, this);
}

FakeNtpServer::~FakeNtpServer() {
  const std::uint64_t one = 1;
  if (write(stopFd_, &one, sizeof one) < 0) std::perror("fake NTP server stop");
  thread_.join();
  close(fd_);
  close(stopFd_);
}

void FakeNtpServer::Serve() {
  for (;;) {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents) return;
    Bytes request(2048);
    sockaddr_storage peer{};
    socklen_t peerLength = sizeof peer;
    const ssize_t n = recvfrom(fd_, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&peer), &peerLength);
    if (n < 0) continue;
    request.resize(static_cast<size_t>(n));
    ++requests_;
    const Datagrams answers = replies_(request);
    for (std::size_t i = 0; i < answers.size(); ++i) {
      if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      sendto(fd_, answers[i].data(), answers[i].size(), 0, reinterpret_cast<sockaddr*>(&peer), peerLength);
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
  t1.AddSeconds(0.51).ToNetwork(reply.data() + 40);
  reply.resize(size);
  return reply;
}

int OpenDescriptorCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}
