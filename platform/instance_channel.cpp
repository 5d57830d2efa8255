#include "platform/instance_channel.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <utility>

namespace platform {
namespace {

// Requests: u32 length, then the body (little-endian fields).
//   list titles: u8 1
//   post:        u8 2, i32 index, u32 message, u64 wParam, i64 lParam
// Responses: u32 length, then the body.
//   list titles: u32 count, then per title u32 length and its bytes
//   post:        u8 1 (accepted)
constexpr std::uint8_t kOpListTitles = 1;
constexpr std::uint8_t kOpPost = 2;
constexpr std::uint32_t kPostBodySize = 1 + 4 + 4 + 8 + 8;
constexpr std::uint32_t kMaxRequest = 64;
constexpr std::uint32_t kMaxResponse = 1u << 20;
constexpr std::uint32_t kMaxTitles = 4096;

using Clock = std::chrono::steady_clock;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The abstract address: a leading NUL, then the name and the user id, so
// every user has a guard of their own.
bool MakeAddress(const std::string& name, sockaddr_un& addr, socklen_t& length) {
  const std::string path = name + "." + std::to_string(::getuid());
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (path.size() + 1 > sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path + 1, path.data(), path.size());
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
  return true;
}

// The peer must run as the same user: abstract sockets carry no file
// permissions, so this check is what keeps other users out.
bool SameUser(int fd) {
  ucred cred{};
  socklen_t len = sizeof cred;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::getuid();
}

int RemainingMs(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    int rc = ::poll(&p, 1, RemainingMs(deadline));
    if (rc > 0) return true;
    if (rc == 0 || errno != EINTR) return false;
  }
}

bool ReadAll(int fd, void* buffer, std::size_t count, Clock::time_point deadline) {
  auto* p = static_cast<char*>(buffer);
  while (count > 0) {
    if (!WaitFor(fd, POLLIN, deadline)) return false;
    ssize_t n = ::recv(fd, p, count, MSG_DONTWAIT);
    if (n == 0) return false;
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return false;
    }
    p += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const void* data, std::size_t count, Clock::time_point deadline) {
  auto* p = static_cast<const char*>(data);
  while (count > 0) {
    if (!WaitFor(fd, POLLOUT, deadline)) return false;
    ssize_t n = ::send(fd, p, count, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return false;
    }
    p += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void PutU64(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint32_t GetU32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
std::uint64_t GetU64(const unsigned char* p) { return GetU32(p) | std::uint64_t{GetU32(p + 4)} << 32; }

bool SendMessage(int fd, const std::string& body, Clock::time_point deadline) {
  std::string framed;
  PutU32(framed, static_cast<std::uint32_t>(body.size()));
  framed += body;
  return WriteAll(fd, framed.data(), framed.size(), deadline);
}

bool ReceiveMessage(int fd, std::uint32_t maxSize, std::string& body, Clock::time_point deadline) {
  unsigned char header[4];
  if (!ReadAll(fd, header, sizeof header, deadline)) return false;
  std::uint32_t size = GetU32(header);
  if (size > maxSize) return false;
  body.assign(size, '\0');
  return ReadAll(fd, body.data(), size, deadline);
}

// One request, one response, on a fresh connection.
bool Exchange(const std::string& name, const std::string& request, std::string& response) {
  sockaddr_un addr;
  socklen_t len;
  if (!MakeAddress(name, addr, len)) return false;
  Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (fd.get() < 0) return false;
  // A full backlog of a hung instance must not block connect for ever.
  timeval tv{InstanceChannel::kTimeoutMs / 1000, (InstanceChannel::kTimeoutMs % 1000) * 1000};
  ::setsockopt(fd.get(), SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  const auto deadline = Clock::now() + std::chrono::milliseconds(InstanceChannel::kTimeoutMs);
  if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&addr), len) != 0) return false;
  if (!SameUser(fd.get())) return false;
  return SendMessage(fd.get(), request, deadline) && ReceiveMessage(fd.get(), kMaxResponse, response, deadline);
}

}  // namespace

InstanceChannel::~InstanceChannel() {
  if (thread_.joinable()) {
    std::uint64_t one = 1;
    ssize_t ignored = ::write(stopFd_, &one, sizeof one);
    (void)ignored;
    thread_.join();
  }
  if (stopFd_ >= 0) ::close(stopFd_);
  if (listenFd_ >= 0) ::close(listenFd_);
}

bool InstanceChannel::Create(const std::string& name) {
  if (listenFd_ >= 0) return false;
  alreadyExists_ = false;
  sockaddr_un addr;
  socklen_t len;
  if (!MakeAddress(name, addr, len)) return false;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), len) != 0) {
    alreadyExists_ = errno == EADDRINUSE;
    ::close(fd);
    return false;
  }
  listenFd_ = fd;
  return true;
}

bool InstanceChannel::Serve(ListTitles listTitles, Post post) {
  if (listenFd_ < 0 || thread_.joinable()) return false;
  // Until now connection attempts were refused at once: there was nothing
  // to answer them with.
  if (::listen(listenFd_, 8) != 0) return false;
  stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  if (stopFd_ < 0) return false;
  listTitles_ = std::move(listTitles);
  post_ = std::move(post);
  thread_ = std::thread([this] { Run(); });
  return true;
}

void InstanceChannel::Run() {
  for (;;) {
    pollfd fds[2] = {{stopFd_, POLLIN, 0}, {listenFd_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[0].revents != 0) return;
    if (fds[1].revents == 0) continue;
    Fd connection(::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC));
    if (connection.get() < 0) continue;
    if (SameUser(connection.get())) Answer(connection.get());
  }
}

// Serves the requests of one connection until it closes, sends something
// malformed, or keeps the server waiting too long.
void InstanceChannel::Answer(int connection) {
  for (;;) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(kTimeoutMs);
    std::string request;
    if (!ReceiveMessage(connection, kMaxRequest, request, deadline) || request.empty()) return;
    const auto* p = reinterpret_cast<const unsigned char*>(request.data());
    std::string response;
    if (p[0] == kOpListTitles && request.size() == 1) {
      std::vector<std::string> titles = listTitles_ ? listTitles_() : std::vector<std::string>{};
      if (titles.size() > kMaxTitles) titles.resize(kMaxTitles);
      PutU32(response, static_cast<std::uint32_t>(titles.size()));
      for (const std::string& title : titles) {
        if (response.size() + 4 + title.size() > kMaxResponse) return;
        PutU32(response, static_cast<std::uint32_t>(title.size()));
        response += title;
      }
    } else if (p[0] == kOpPost && request.size() == kPostBodySize) {
      const int index = static_cast<int>(GetU32(p + 1));
      const unsigned message = GetU32(p + 5);
      const auto wParam = static_cast<std::uintptr_t>(GetU64(p + 9));
      const auto lParam = static_cast<std::intptr_t>(GetU64(p + 17));
      if (post_) post_(index, message, wParam, lParam);
      response = std::string(1, '\1');
    } else {
      return;
    }
    if (!SendMessage(connection, response, deadline)) return;
  }
}

bool InstanceChannel::QueryTitles(const std::string& name, std::vector<std::string>& titles) {
  std::string response;
  if (!Exchange(name, std::string(1, static_cast<char>(kOpListTitles)), response)) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(response.data());
  std::size_t pos = 4;
  if (response.size() < pos) return false;
  const std::uint32_t count = GetU32(p);
  if (count > kMaxTitles) return false;
  std::vector<std::string> result;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (response.size() - pos < 4) return false;
    const std::uint32_t size = GetU32(p + pos);
    pos += 4;
    if (response.size() - pos < size) return false;
    result.emplace_back(response, pos, size);
    pos += size;
  }
  if (pos != response.size()) return false;
  titles = std::move(result);
  return true;
}

bool InstanceChannel::PostToWindow(const std::string& name, int index, unsigned message, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
  std::string request(1, static_cast<char>(kOpPost));
  PutU32(request, static_cast<std::uint32_t>(index));
  PutU32(request, message);
  PutU64(request, static_cast<std::uint64_t>(wParam));
  PutU64(request, static_cast<std::uint64_t>(lParam));
  std::string response;
  return Exchange(name, request, response) && response == std::string(1, '\1');
}

}  // namespace platform
