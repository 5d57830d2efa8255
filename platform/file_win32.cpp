#include "platform/file.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <utility>

#include "platform/text_encoding.h"

namespace platform {
namespace {

// ReadFile and WriteFile take a 32-bit count; larger requests go in pieces.
constexpr size_t kChunk = 1u << 20;

// The program's paths are UTF-8 (as the command line arrives), so that any
// name reaches the wide calls whatever the system's code page. A NUL would
// cut the name short and so name another file.
bool WidePath(const std::string& path, std::wstring& wide) {
  return path.find('\0') == std::string::npos && Utf8ToUtf16(path, wide) && !wide.empty();
}

HANDLE Handle(void* handle) { return static_cast<HANDLE>(handle); }

}  // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)), error_(other.error_) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, nullptr);
    error_ = other.error_;
  }
  return *this;
}

bool File::Open(const std::string& path, Mode mode) {
  Close();
  std::wstring wide;
  if (!WidePath(path, wide)) {
    error_ = ERROR_INVALID_NAME;
    return false;
  }
  // A writer shares only reading, so that a reader elsewhere still can read
  // but nobody writes under it; a reader also lets writers and other
  // readers in. Both let the file be replaced meanwhile (they keep reading
  // the old content), so that a short read never makes a save elsewhere fail.
  const bool write = mode == Mode::kReadWriteExisting;
  const DWORD access = write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  const DWORD share = write ? FILE_SHARE_READ | FILE_SHARE_DELETE
                            : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  // Without FILE_FLAG_BACKUP_SEMANTICS a directory is refused here.
  HANDLE h = ::CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    error_ = static_cast<int>(::GetLastError());
    return false;
  }
  handle_ = h;
  return true;
}

void File::Close() {
  if (handle_ != nullptr) {
    ::CloseHandle(Handle(handle_));
    handle_ = nullptr;
  }
}

long long File::Read(void* buffer, size_t count) {
  size_t done = 0;
  auto* p = static_cast<char*>(buffer);
  while (done < count) {
    const DWORD want = static_cast<DWORD>(count - done < kChunk ? count - done : kChunk);
    DWORD got = 0;
    if (!::ReadFile(Handle(handle_), p + done, want, &got, nullptr)) {
      error_ = static_cast<int>(::GetLastError());
      return -1;
    }
    if (got == 0) break;
    done += got;
  }
  return static_cast<long long>(done);
}

bool File::Write(const void* data, size_t count) {
  size_t done = 0;
  auto* p = static_cast<const char*>(data);
  while (done < count) {
    const DWORD want = static_cast<DWORD>(count - done < kChunk ? count - done : kChunk);
    DWORD put = 0;
    if (!::WriteFile(Handle(handle_), p + done, want, &put, nullptr)) {
      error_ = static_cast<int>(::GetLastError());
      return false;
    }
    if (put == 0) {
      error_ = ERROR_WRITE_FAULT;
      return false;
    }
    done += put;
  }
  return true;
}

bool File::Seek(long long offset) {
  LARGE_INTEGER to;
  to.QuadPart = offset;
  if (!::SetFilePointerEx(Handle(handle_), to, nullptr, FILE_BEGIN)) {
    error_ = static_cast<int>(::GetLastError());
    return false;
  }
  return true;
}

bool File::SeekFromEnd(long long offset) {
  LARGE_INTEGER to;
  to.QuadPart = offset;
  if (!::SetFilePointerEx(Handle(handle_), to, nullptr, FILE_END)) {
    error_ = static_cast<int>(::GetLastError());
    return false;
  }
  return true;
}

long long File::Size() const {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(Handle(handle_), &size)) return -1;
  return size.QuadPart;
}

bool File::Flush() {
  if (!::FlushFileBuffers(Handle(handle_))) {
    error_ = static_cast<int>(::GetLastError());
    return false;
  }
  return true;
}

namespace {

// A short hidden name for the new file beside the target.
std::wstring TemporaryName() {
  static std::atomic<unsigned> counter{0};
  static std::random_device entropy;
  char name[24];
  std::snprintf(name, sizeof name, ".tempiola-%08x", entropy() ^ (counter.fetch_add(1) * 0x9E3779B9u));
  return std::wstring(name, name + std::char_traits<char>::length(name));
}

// Marks an open file to be deleted when its last handle closes, or takes
// the mark back. The system closes the handles of a process however it
// ends, so a marked file cannot outlive its writer.
bool DeleteOnClose(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = remove ? TRUE : FALSE;
  return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// A new file is unmarked only for the instant after it is made and the one
// between its commit and its rename, and a writer killed just then leaves
// it behind. The next write in the same directory removes such files. One
// still open is refused deletion, and a recent one may be a writer's
// between its commit and the replace.
void RemoveAbandoned(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  std::unique_ptr<void, decltype(&::FindClose)> search(::FindFirstFileW((dir + L".tempiola-*").c_str(), &found),
                                                       &::FindClose);
  if (search.get() == INVALID_HANDLE_VALUE) {
    search.release();
    return;
  }
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  const ULONGLONG cutoff = ticks(now) - 60ull * 10000000;  // a minute, in 100 ns
  do {
    const wchar_t* name = found.cFileName;
    const bool ours = std::wcslen(name) == 18 && std::wcsspn(name + 10, L"0123456789abcdef") == 8;
    if (ours && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ticks(found.ftLastWriteTime) < cutoff) {
      ::DeleteFileW((dir + name).c_str());
    }
  } while (::FindNextFileW(search.get(), &found));
}

// The full name with the system's separators: Wine's replace finds the
// directory by the backslash, and a later change of the current directory
// must not move the target.
bool FullPath(std::wstring& path) {
  wchar_t full[MAX_PATH * 4];
  const DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
  if (n == 0 || n >= std::size(full)) return false;
  path.assign(full, n);
  return true;
}

// The directory part of a path, with its separator ("" for the current one).
std::wstring DirectoryOf(const std::wstring& path) {
  const size_t at = path.find_last_of(L"\\/:");
  return at == std::wstring::npos ? std::wstring() : path.substr(0, at + 1);
}

// The attributes a file may carry over to its replacement.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

// Symbolic links take an administrator's privilege to make on Windows, and
// the system follows one itself wherever a file is opened; the path is used
// as given.
std::string FollowLinks(const std::string& path) { return path; }

ReplacingFile::ReplacingFile(std::string target) : target_(std::move(target)) {}

ReplacingFile::~ReplacingFile() {
  file_.Close();
  if (!committed_ && !temporary_.empty()) ::DeleteFileW(temporary_.c_str());
}

bool ReplacingFile::Fail(int error) {
  error_ = error != 0 ? error : ERROR_WRITE_FAULT;
  return false;
}

bool ReplacingFile::Open() {
  if (!WidePath(target_, wideTarget_)) return Fail(ERROR_INVALID_NAME);
  if (!FullPath(wideTarget_)) return Fail(static_cast<int>(::GetLastError()));
  const DWORD attributes = ::GetFileAttributesW(wideTarget_.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) return Fail(static_cast<int>(error));
  } else {
    // Only a plain file the user may write is replaced: a directory or a
    // device would be lost, and a replacement needs only the directory's
    // permission, so a read-only file would lose its content behind it.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Fail(ERROR_DIRECTORY);
    if (attributes & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
    HANDLE probe = ::CreateFileW(wideTarget_.c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
      // Held open by a writer elsewhere is no refusal of the permission.
      const DWORD error = ::GetLastError();
      if (error != ERROR_SHARING_VIOLATION) return Fail(static_cast<int>(error));
    } else {
      const DWORD type = ::GetFileType(probe);
      ::CloseHandle(probe);
      if (type != FILE_TYPE_DISK) return Fail(ERROR_ACCESS_DENIED);
    }
    attributes_ = (attributes & kKeptAttributes) != 0 ? attributes & kKeptAttributes : FILE_ATTRIBUTE_NORMAL;
  }

  const std::wstring dir = DirectoryOf(wideTarget_);
  RemoveAbandoned(dir);
  HANDLE h = INVALID_HANDLE_VALUE;
  DWORD error = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE && error == ERROR_FILE_EXISTS; ++attempt) {
    const std::wstring name = dir + TemporaryName();
    // Nobody else has any business with the new file before it is in place.
    h = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      temporary_ = name;
    } else {
      error = ::GetLastError();
    }
  }
  if (h == INVALID_HANDLE_VALUE) return Fail(static_cast<int>(error));
  file_.handle_ = h;
  // Unfinished, the file goes with the process, whatever ends it. Where the
  // file system keeps no such mark, the destructor and the next write's
  // sweep remove it.
  deleteOnClose_ = DeleteOnClose(h, true);
  return true;
}

bool ReplacingFile::Commit() {
  if (!file_.IsOpen() || committed_) return false;
  if (!file_.Flush()) return false;
  if (deleteOnClose_) {
    if (!DeleteOnClose(file_.handle_, false)) return Fail(static_cast<int>(::GetLastError()));
    deleteOnClose_ = false;
  }
  file_.Close();
  // The new file is no longer hidden or temporary; an old file's own
  // attributes come along.
  const DWORD attributes = attributes_ != 0 ? attributes_ : FILE_ATTRIBUTE_ARCHIVE;
  if (!::SetFileAttributesW(temporary_.c_str(), attributes)) return Fail(static_cast<int>(::GetLastError()));
  // ReplaceFileW keeps the old file's identity, access rules and creation
  // time; where that cannot be carried over the content still goes in, as
  // an owner that cannot be kept does on other systems.
  const DWORD flags = REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS;
  bool placed = false;
  if (::GetFileAttributesW(wideTarget_.c_str()) != INVALID_FILE_ATTRIBUTES) {
    // The old file must go out of the way; one held open by a program that
    // forbids that is refused here, before the replace (Wine's leaves a file
    // of its own behind when it fails there).
    HANDLE old = ::CreateFileW(wideTarget_.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (old != INVALID_HANDLE_VALUE) {
      ::CloseHandle(old);
      placed = ::ReplaceFileW(wideTarget_.c_str(), temporary_.c_str(), nullptr, flags, nullptr, nullptr);
    } else if (::GetLastError() != ERROR_FILE_NOT_FOUND) {
      return Fail(static_cast<int>(::GetLastError()));
    }
  }
  if (!placed) {
    const DWORD error = ::GetLastError();
    // No old file (or it went away meanwhile): the new one is moved in. So
    // too when the replace got the old one out of the way but could not put
    // the new one in its place, which would otherwise leave neither.
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
      return Fail(static_cast<int>(error));
    }
    if (!::MoveFileExW(temporary_.c_str(), wideTarget_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return Fail(static_cast<int>(::GetLastError()));
    }
  }
  committed_ = true;
  temporary_.clear();
  return true;
}

bool IsExistingFile(const std::string& path) {
  std::wstring wide;
  if (!WidePath(path, wide)) return false;
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// In UTF-8, as the command line's messages that name files are, whatever
// the system's language and code page.
std::string ErrorText(int error) {
  wchar_t wide[512];
  DWORD n = error == 0 ? 0
                       : ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                          static_cast<DWORD>(error), 0, wide, static_cast<DWORD>(std::size(wide)),
                                          nullptr);
  while (n > 0 && (wide[n - 1] == L'\r' || wide[n - 1] == L'\n' || wide[n - 1] == L' ')) --n;
  if (n == 0) return "system error " + std::to_string(error);
  return Utf16ToUtf8(std::wstring_view(wide, n));
}

}  // namespace platform
