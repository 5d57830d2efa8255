// An advisory lock that makes the read, change and replacement of a file by
// the programs that take it happen one at a time. It is held on the
// directory that holds the file, so it stays the same lock while the file
// itself is replaced and exists before the file does. (On Windows, where a
// directory takes no lock, it is a lock on a hidden file in that directory.)
#pragma once

#include <string>

namespace platform {

class FileUpdateLock {
 public:
  // How long a taker waits for another holder before it gives up.
  static constexpr int kDefaultTimeoutMs = 10000;

  // Takes the lock for path (links followed), waiting up to timeoutMs.
  explicit FileUpdateLock(const std::string& path, int timeoutMs = kDefaultTimeoutMs);
  ~FileUpdateLock();  // releases it
  FileUpdateLock(const FileUpdateLock&) = delete;
  FileUpdateLock& operator=(const FileUpdateLock&) = delete;

#ifdef _WIN32
  bool Locked() const { return handle_ != nullptr; }
#else
  bool Locked() const { return fd_ >= 0; }
#endif
  // Why the lock was not taken: an error code (kErrorLockTimedOut after the
  // wait).
  int LastError() const { return error_; }

 private:
#ifdef _WIN32
  void* handle_ = nullptr;  // the lock file's HANDLE, while locked
#else
  int fd_ = -1;
#endif
  int error_ = 0;
};

}  // namespace platform
