#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace platform {

File::~File() { Close(); }

File::File(File&& other) noexcept : fd_(std::exchange(other.fd_, -1)), error_(other.error_) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    error_ = other.error_;
  }
  return *this;
}

bool File::Open(const std::string& path, Mode mode) {
  Close();
  int flags = (mode == Mode::kReadWriteExisting ? O_RDWR : O_RDONLY) | O_CLOEXEC;
  fd_ = ::open(path.c_str(), flags);
  if (fd_ < 0) {
    error_ = errno;
    return false;
  }
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    Close();
    error_ = EISDIR;
    return false;
  }
  return true;
}

void File::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

long long File::Read(void* buffer, size_t count) {
  size_t done = 0;
  auto* p = static_cast<char*>(buffer);
  while (done < count) {
    ssize_t n = ::read(fd_, p + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<long long>(done);
}

bool File::Write(const void* data, size_t count) {
  size_t done = 0;
  auto* p = static_cast<const char*>(data);
  while (done < count) {
    ssize_t n = ::write(fd_, p + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool File::Seek(long long offset) {
  if (::lseek(fd_, offset, SEEK_SET) < 0) {
    error_ = errno;
    return false;
  }
  return true;
}

bool File::SeekFromEnd(long long offset) {
  if (::lseek(fd_, offset, SEEK_END) < 0) {
    error_ = errno;
    return false;
  }
  return true;
}

long long File::Size() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return -1;
  return static_cast<long long>(st.st_size);
}

bool File::Flush() {
  if (::fsync(fd_) != 0) {
    error_ = errno;
    return false;
  }
  return true;
}

ReplacingFile::ReplacingFile(std::string target) : target_(std::move(target)) {}

ReplacingFile::~ReplacingFile() {
  if (!committed_ && !temp_.empty()) {
    file_.Close();
    ::unlink(temp_.c_str());
  }
}

bool ReplacingFile::Open() {
  // Only a regular file (or nothing) is replaced: renaming over a device
  // node would destroy it, and over a directory it fails only after all
  // the writing.
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    error_ = S_ISDIR(st.st_mode) ? EISDIR : EPERM;
    return false;
  }
  std::string pattern = target_ + ".XXXXXX";
  int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    error_ = errno;
    return false;
  }
  temp_ = pattern;
  // Keep the mode an ordinary new file would get, not mkstemp's 0600.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  file_.fd_ = fd;
  return true;
}

bool ReplacingFile::Commit() {
  if (!file_.IsOpen()) return false;
  if (!file_.Flush()) return false;
  file_.Close();
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    error_ = errno;
    return false;
  }
  committed_ = true;
  // Make the rename itself durable.
  size_t slash = target_.find_last_of('/');
  std::string dir = slash == std::string::npos ? std::string(".") : target_.substr(0, slash + 1);
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

bool IsExistingFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string ErrorText(int error) { return std::strerror(error); }

}  // namespace platform
