#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/file.h"

namespace platform {

FileUpdateLock::FileUpdateLock(const std::string& path, int timeoutMs) {
  const std::string real = FollowLinks(path);
  if (real.empty()) {
    error_ = errno;
    return;
  }
  const size_t slash = real.find_last_of('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : real.substr(0, slash + 1);
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    error_ = errno;
    return;
  }
  // Polled rather than blocking, so that a holder that hangs costs a
  // bounded wait.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
      error_ = errno;
      ::close(fd);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  fd_ = fd;
}

FileUpdateLock::~FileUpdateLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace platform
