#include "platform/instance_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace platform {
namespace {

// Requests: u32 length, then the body (little-endian fields).
//   list titles: u8 1
//   activate:    u8 2, i32 index
// Responses: u32 length, then the body.
//   list titles: u32 count, then per title u32 length and its bytes
//   activate:    u8 1 (accepted)
constexpr std::uint8_t kOpListTitles = 1;
constexpr std::uint8_t kOpActivate = 2;
constexpr std::uint32_t kActivateBodySize = 1 + 4;
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

// A directory only this user may enter: a real directory (not a link to
// one), owned by the user, with no permission for group or others.
bool IsPrivateDirectory(const std::string& path) {
  struct stat st {};
  return !path.empty() && path[0] == '/' && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

std::string GuardPath(const std::string& name, const char* suffix) {
  const std::string dir = InstanceChannel::RuntimeDirectory();
  return dir.empty() ? std::string() : dir + "/" + name + suffix;
}

bool MakeAddress(const std::string& path, sockaddr_un& addr, socklen_t& length) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (path.empty() || path.size() + 1 > sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.data(), path.size());
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
  return true;
}

// The peer must run as the same user. The private directory already keeps
// other users out; this also holds against one that root let in.
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

// Moves count bytes through step (one recv or send of what is left, at p),
// as fast as the socket allows, until the deadline. Nothing moved is the
// end of the connection.
template <typename Byte, typename Step>
bool Transfer(int fd, short events, Byte* p, std::size_t count, Clock::time_point deadline, Step step) {
  while (count > 0) {
    if (!WaitFor(fd, events, deadline)) return false;
    const ssize_t n = step(p, count);
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

bool ReadAll(int fd, void* buffer, std::size_t count, Clock::time_point deadline) {
  return Transfer(fd, POLLIN, static_cast<char*>(buffer), count, deadline,
                  [fd](char* p, std::size_t left) { return ::recv(fd, p, left, MSG_DONTWAIT); });
}

bool WriteAll(int fd, const void* data, std::size_t count, Clock::time_point deadline) {
  return Transfer(fd, POLLOUT, static_cast<const char*>(data), count, deadline,
                  [fd](const char* p, std::size_t left) { return ::send(fd, p, left, MSG_DONTWAIT | MSG_NOSIGNAL); });
}

void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint32_t GetU32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

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
  if (!MakeAddress(GuardPath(name, ".sock"), addr, len)) return false;
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
  if (listenFd_ >= 0) {
    // Still under the lock, so the socket removed is our own.
    ::unlink(socketPath_.c_str());
    ::close(listenFd_);
  }
  if (lockFd_ >= 0) ::close(lockFd_);  // the kernel drops the lock with it
}

std::string InstanceChannel::RuntimeDirectory() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && IsPrivateDirectory(runtime)) return runtime;
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = (tmp && tmp[0] == '/' ? std::string(tmp) : std::string("/tmp")) + "/tempiola-" +
                    std::to_string(::getuid());
  // Made by us, or left by an earlier start of ours; one that somebody else
  // made (or a link planted there) is refused, never repaired.
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return {};
  return IsPrivateDirectory(dir) ? dir : std::string();
}

bool InstanceChannel::Create(const std::string& name) {
  if (lockFd_ >= 0) return false;
  alreadyExists_ = false;
  const std::string lockPath = GuardPath(name, ".lock");
  const std::string socketPath = GuardPath(name, ".sock");
  sockaddr_un addr;
  socklen_t len;
  if (lockPath.empty() || !MakeAddress(socketPath, addr, len)) return false;
  Fd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (lock.get() < 0) return false;
  if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
    alreadyExists_ = errno == EWOULDBLOCK;
    return false;
  }
  // A socket left by a holder that crashed is stale: we hold the lock now.
  ::unlink(socketPath.c_str());
  Fd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (listener.get() < 0 || ::bind(listener.get(), reinterpret_cast<const sockaddr*>(&addr), len) != 0) {
    return false;
  }
  lockFd_ = ::dup(lock.get());
  listenFd_ = ::dup(listener.get());
  if (lockFd_ < 0 || listenFd_ < 0) {
    ::unlink(socketPath.c_str());
    if (lockFd_ >= 0) ::close(std::exchange(lockFd_, -1));
    if (listenFd_ >= 0) ::close(std::exchange(listenFd_, -1));
    return false;
  }
  socketPath_ = socketPath;
  return true;
}

bool InstanceChannel::Serve(ListTitles listTitles, Activate activate) {
  if (listenFd_ < 0 || thread_.joinable()) return false;
  // Until now connection attempts were refused at once: there was nothing
  // to answer them with.
  if (::listen(listenFd_, 8) != 0) return false;
  stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  if (stopFd_ < 0) return false;
  listTitles_ = std::move(listTitles);
  activate_ = std::move(activate);
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

// One request a connection, answered or refused by closing the connection:
// anything malformed, any other request, and a client too slow to send its
// request have no effect.
void InstanceChannel::Answer(int connection) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(kRequestTimeoutMs);
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
  } else if (p[0] == kOpActivate && request.size() == kActivateBodySize) {
    if (activate_) activate_(static_cast<int>(GetU32(p + 1)));
    response = std::string(1, '\1');
  } else {
    return;
  }
  // The answer may take its time to be read, but not for ever.
  SendMessage(connection, response, Clock::now() + std::chrono::milliseconds(kTimeoutMs));
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

bool InstanceChannel::ActivateWindow(const std::string& name, int index) {
  std::string request(1, static_cast<char>(kOpActivate));
  PutU32(request, static_cast<std::uint32_t>(index));
  std::string response;
  return Exchange(name, request, response) && response == std::string(1, '\1');
}

}  // namespace platform
