// Error codes as the system reports them: errno values on POSIX, the
// system's own codes (GetLastError, WSAGetLastError) on Windows. A function
// of this layer that fails "with errno set" puts that code in errno on both
// systems, so callers keep one way of asking; SystemErrorMessage words it.
// The codes the program itself compares or reports are named here.
#pragma once

#ifdef _WIN32
#include <winerror.h>
#else
#include <netdb.h>  // EAI_*

#include <cerrno>
#endif

namespace platform {

#ifdef _WIN32
inline constexpr int kErrorInvalidArgument = ERROR_INVALID_PARAMETER;
inline constexpr int kErrorPermission = ERROR_PRIVILEGE_NOT_HELD;  // may not set the clock
inline constexpr int kErrorAccessDenied = ERROR_ACCESS_DENIED;
inline constexpr int kErrorNameTooLong = ERROR_FILENAME_EXCED_RANGE;
inline constexpr int kErrorFileTooLarge = ERROR_FILE_TOO_LARGE;
inline constexpr int kErrorLockTimedOut = WAIT_TIMEOUT;              // another holder kept the lock
inline constexpr int kErrorMessageTooLong = WSAEMSGSIZE;             // a datagram longer than the buffer
inline constexpr int kErrorIo = ERROR_WRITE_FAULT;
inline constexpr int kErrorHostNotFound = WSAHOST_NOT_FOUND;        // the resolver knows no such name
inline constexpr int kErrorAddressFamily = WSAEAFNOSUPPORT;
inline constexpr int kErrorNotASocket = WSAENOTSOCK;
inline constexpr int kErrorAddressInUse = WSAEADDRINUSE;
#else
inline constexpr int kErrorInvalidArgument = EINVAL;
inline constexpr int kErrorPermission = EPERM;
inline constexpr int kErrorAccessDenied = EACCES;
inline constexpr int kErrorNameTooLong = ENAMETOOLONG;
inline constexpr int kErrorFileTooLarge = EFBIG;
inline constexpr int kErrorLockTimedOut = EWOULDBLOCK;
inline constexpr int kErrorMessageTooLong = EMSGSIZE;
inline constexpr int kErrorIo = EIO;
inline constexpr int kErrorHostNotFound = EAI_NONAME;
inline constexpr int kErrorAddressFamily = EAFNOSUPPORT;
inline constexpr int kErrorNotASocket = EBADF;
inline constexpr int kErrorAddressInUse = EADDRINUSE;
#endif

}  // namespace platform
