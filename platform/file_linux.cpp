#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
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

namespace {

// A hidden name for a new file beside the target. It is short, so it fits
// wherever the target's own name fits.
std::string TemporaryName() {
  static std::atomic<unsigned> counter{0};
  static std::random_device entropy;
  char name[24];
  std::snprintf(name, sizeof name, ".tempiola-%08x", entropy() ^ (counter.fetch_add(1) * 0x9E3779B9u));
  return name;
}

}  // namespace

std::string FollowLinks(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return {};
  std::string real(resolved);
  std::free(resolved);
  return real;
}

ReplacingFile::ReplacingFile(std::string target) : target_(std::move(target)) {}

ReplacingFile::~ReplacingFile() {
  file_.Close();  // an unnamed file is gone with its descriptor
  if (!committed_ && !named_.empty()) ::unlink(named_.c_str());
}

bool ReplacingFile::Fail(int error) {
  error_ = error != 0 ? error : EIO;
  return false;
}

bool ReplacingFile::Open() {
  real_ = FollowLinks(target_);
  if (real_.empty()) return Fail(errno);  // a link to nothing: refused, not replaced by a file
  // Only a regular file (or nothing) is replaced: renaming over a device
  // node would destroy it, and over a directory it fails only after all
  // the writing.
  struct stat st {};
  const bool exists = ::stat(real_.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return Fail(S_ISDIR(st.st_mode) ? EISDIR : EPERM);
  if (exists) {
    // The rename needs only the directory's permission; a file the user may
    // not write keeps its content.
    const int probe = ::open(real_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (probe < 0) return Fail(errno);
    ::close(probe);
  }
  const size_t slash = real_.find_last_of('/');
  dir_ = slash == std::string::npos ? std::string("./") : real_.substr(0, slash + 1);

  int fd = ::open(dir_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  unnamed_ = fd >= 0;
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    // A file system without unnamed files: a hidden name, removed unless
    // committed.
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
      const std::string name = dir_ + TemporaryName();
      fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
      if (fd >= 0) named_ = name;
      if (fd < 0 && errno != EEXIST) break;
    }
  }
  if (fd < 0) return Fail(errno);
  file_.fd_ = fd;
  if (exists) {
    // Owner and group first: a change of owner clears the set-id bits.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
      // Not ours to give away: the new file stays the user's.
    }
    if (::fchmod(fd, st.st_mode & 07777) != 0) return Fail(errno);
  }
  return true;
}

bool ReplacingFile::LinkAs(const std::string& name) {
  char self[40];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", file_.fd_);
  if (::linkat(AT_FDCWD, self, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  // Without /proc, the same by the descriptor itself (needs more privilege).
  if (errno == ENOENT && ::linkat(file_.fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return true;
  return Fail(errno);
}

bool ReplacingFile::Commit() {
  if (!file_.IsOpen()) return false;
  if (!file_.Flush()) return false;
  if (unnamed_) {
    // A rename is the only replacement that is atomic, and it needs a name:
    // the complete file gets one just before it.
    for (int attempt = 0; attempt < 100 && named_.empty(); ++attempt) {
      const std::string name = dir_ + TemporaryName();
      if (LinkAs(name)) {
        named_ = name;
        error_ = 0;
      } else if (error_ != EEXIST) {
        return false;
      }
    }
    if (named_.empty()) return false;
  }
  file_.Close();
  if (::rename(named_.c_str(), real_.c_str()) != 0) return Fail(errno);
  committed_ = true;
  // Make the rename itself durable.
  const int dfd = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
