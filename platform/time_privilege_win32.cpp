#include "platform/time_privilege.h"

#include <windows.h>

#include <cerrno>
#include <memory>
#include <utility>

namespace platform {
namespace {

constexpr const char* kTimePrivilege = "SeSystemtimePrivilege";

// The process's access token, closed on every path.
class Token {
 public:
  explicit Token(DWORD access) {
    if (!::OpenProcessToken(::GetCurrentProcess(), access, &handle_)) handle_ = nullptr;
  }
  ~Token() {
    if (handle_ != nullptr) ::CloseHandle(handle_);
  }
  Token(const Token&) = delete;
  Token& operator=(const Token&) = delete;

  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

PrivilegeSetter& CurrentSetter() {
  static PrivilegeSetter setter;  // empty: the process's token
  return setter;
}

bool Fail() {
  errno = static_cast<int>(::GetLastError());
  return false;
}

// Enables or disables the privilege in the token. As the system has it, this
// succeeds also for an account that does not hold the privilege at all; the
// clock call then fails with ERROR_PRIVILEGE_NOT_HELD.
bool Adjust(bool enable) {
  Token token(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY);
  if (token.get() == nullptr) return Fail();
  TOKEN_PRIVILEGES privileges{};
  if (!::LookupPrivilegeValueA(nullptr, kTimePrivilege, &privileges.Privileges[0].Luid)) return Fail();
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) return Fail();
  return true;
}

// The privilege's attributes in the token; false when it does not hold it.
bool TokenAttributes(DWORD& attributes) {
  Token token(TOKEN_QUERY);
  LUID luid{};
  if (token.get() == nullptr || !::LookupPrivilegeValueA(nullptr, kTimePrivilege, &luid)) return false;
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
  if (size == 0) return false;
  // DWORD-aligned storage for the variable-length record.
  std::unique_ptr<DWORD[]> buffer(new DWORD[size / sizeof(DWORD) + 1]);
  auto* list = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer.get());
  if (!::GetTokenInformation(token.get(), TokenPrivileges, list, size, &size)) return false;
  for (DWORD i = 0; i < list->PrivilegeCount; ++i) {
    const LUID& entry = list->Privileges[i].Luid;
    if (entry.LowPart == luid.LowPart && entry.HighPart == luid.HighPart) {
      attributes = list->Privileges[i].Attributes;
      return true;
    }
  }
  return false;
}

}  // namespace

bool RaiseTimePrivilege() {
  if (const PrivilegeSetter& setter = CurrentSetter()) return setter(true);
  return Adjust(true);
}

bool LowerTimePrivilege() {
  if (const PrivilegeSetter& setter = CurrentSetter()) return setter(false);
  return Adjust(false);
}

bool IsTimePrivilegeRaised() {
  DWORD attributes = 0;
  return TokenAttributes(attributes) && (attributes & SE_PRIVILEGE_ENABLED) != 0;
}

bool IsTimePrivilegePermitted() {
  DWORD attributes = 0;
  return TokenAttributes(attributes);
}

TimePrivilegeOverride::TimePrivilegeOverride(PrivilegeSetter setter)
    : previous_(std::exchange(CurrentSetter(), std::move(setter))) {}

TimePrivilegeOverride::~TimePrivilegeOverride() { CurrentSetter() = std::move(previous_); }

}  // namespace platform
