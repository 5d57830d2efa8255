#include "platform/file_lock.h"

#include <windows.h>

#include <chrono>

#include "platform/system_error.h"
#include "platform/text_encoding.h"

namespace platform {

FileUpdateLock::FileUpdateLock(const std::string& path, int timeoutMs) {
  // A directory takes no lock on Windows: the lock is on a hidden file in it,
  // the same for every file there. The system removes it when the last taker
  // has closed it, so no one can hold the old file while another locks a
  // fresh one, and nothing is left behind.
  const size_t at = path.find_last_of("\\/:");
  const std::string lockPath = (at == std::string::npos ? std::string() : path.substr(0, at + 1)) + ".tempiola.lock";
  std::wstring wide;
  // No path: no lock file in whatever the current directory is.
  if (path.empty() || path.find('\0') != std::string::npos || !Utf8ToUtf16(lockPath, wide)) {
    error_ = ERROR_INVALID_NAME;
    return;
  }
  // Polled rather than blocking, so that a holder that hangs costs a
  // bounded wait. The system drops the lock of a process that ends.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  HANDLE h = INVALID_HANDLE_VALUE;
  for (;;) {
    // Reading is access enough to lock, and making the file needs only the
    // directory's permission.
    h = ::CreateFileW(wide.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) break;
    // A file on its way out (closed by one taker while others still have
    // it open) is refused until they have closed it too.
    const DWORD error = ::GetLastError();
    if (error != ERROR_ACCESS_DENIED || std::chrono::steady_clock::now() >= deadline) {
      error_ = static_cast<int>(error);
      return;
    }
    ::Sleep(10);
  }
  for (;;) {
    OVERLAPPED whole{};
    if (::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) break;
    const DWORD error = ::GetLastError();
    if (error != ERROR_LOCK_VIOLATION || std::chrono::steady_clock::now() >= deadline) {
      error_ = error == ERROR_LOCK_VIOLATION ? kErrorLockTimedOut : static_cast<int>(error);
      ::CloseHandle(h);
      return;
    }
    ::Sleep(10);
  }
  handle_ = h;
}

FileUpdateLock::~FileUpdateLock() {
  if (handle_ == nullptr) return;
  // Closing alone frees the lock only some time later.
  OVERLAPPED whole{};
  ::UnlockFileEx(static_cast<HANDLE>(handle_), 0, 1, 0, &whole);
  ::CloseHandle(static_cast<HANDLE>(handle_));
}

}  // namespace platform
