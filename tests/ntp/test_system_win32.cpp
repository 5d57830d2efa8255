#include <winsock2.h>
#include <windows.h>
#include <winternl.h>
#include <ws2tcpip.h>
#undef INVALID_SOCKET
#undef SOCKET_ERROR

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ntp/ntp_errors.h"

#include "tests/ntp/fake_ntp_server.h"
#include "tests/ntp/test_system.h"

int BoundPort(platform::SOCKET socket) {
  sockaddr_storage storage{};
  int length = sizeof storage;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&storage), &length) != 0) return 0;
  return ntohs(storage.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                                             : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
}

int ReceiveFrom(platform::SOCKET socket, unsigned char* buffer, int capacity, UdpPeer& peer) {
  int length = sizeof peer.address;
  const int n = recvfrom(socket, reinterpret_cast<char*>(buffer), capacity, 0,
                         reinterpret_cast<sockaddr*>(peer.address), &length);
  peer.length = length;
  return n;
}

void SendTo(platform::SOCKET socket, const unsigned char* data, int length, const UdpPeer& peer) {
  sendto(socket, reinterpret_cast<const char*>(data), length, 0, reinterpret_cast<const sockaddr*>(peer.address),
         peer.length);
}

// Handles of files stand for descriptors: files, sockets and pipes alike,
// counted in the system's list of handles (GetProcessHandleCount gives 0
// under Wine). Threads and events are left out: the thread library makes
// some of those when first needed and keeps them.
int OpenDescriptorCount() {
  struct Entry {
    void* object;
    ULONG_PTR process;
    ULONG_PTR handle;
    ULONG access;
    USHORT backTrace;
    USHORT type;
    ULONG attributes;
    ULONG reserved;
  };
  struct List {
    ULONG_PTR count;
    ULONG_PTR reserved;
    Entry entries[1];
  };
  constexpr auto kExtendedHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(64);
  constexpr NTSTATUS kBufferTooSmall = static_cast<NTSTATUS>(0xC0000004L);
  std::vector<ULONG_PTR> buffer(1 << 14);
  for (;;) {
    ULONG length = 0;
    const NTSTATUS status = NtQuerySystemInformation(kExtendedHandleInformation, buffer.data(),
                                                     static_cast<ULONG>(buffer.size() * sizeof buffer[0]), &length);
    if (status == kBufferTooSmall && buffer.size() < (1u << 24)) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (status != 0) throw std::runtime_error("the system's list of handles cannot be read");
    break;
  }
  const auto* list = reinterpret_cast<const List*>(buffer.data());
  const ULONG_PTR self = GetCurrentProcessId();
  int count = 0;
  for (ULONG_PTR i = 0; i < list->count; ++i) {
    if (list->entries[i].process != self) continue;
    union {
      OBJECT_TYPE_INFORMATION type;
      ULONG_PTR space[64];
    } info{};
    ULONG length = 0;
    const auto handle = reinterpret_cast<HANDLE>(list->entries[i].handle);
    if (NtQueryObject(handle, ObjectTypeInformation, &info, sizeof info, &length) == 0 &&
        std::wstring_view(info.type.TypeName.Buffer, info.type.TypeName.Length / sizeof(wchar_t)) == L"File") {
      ++count;
    }
  }
  return count;
}

// Windows reports the ICMP refusal of a datagram as WSAECONNRESET on the
// next receive. Wine does not pass it on to the socket: there the query
// waits out its time.
int ClosedPortCode() {
  const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine ? kNtpErrorTimedOut : WSAECONNRESET;
}

// The system's words for code in the program's GBK, without the line break
// that FormatMessageW ends them with.
std::string SystemWords(unsigned long code) {
  wchar_t wide[512];
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, wide,
                           sizeof wide / sizeof wide[0], nullptr);
  while (n > 0 && (wide[n - 1] == L'\r' || wide[n - 1] == L'\n' || wide[n - 1] == L' ')) --n;
  char gbk[1024];
  const int bytes = WideCharToMultiByte(936, 0, wide, static_cast<int>(n), gbk, sizeof gbk, nullptr, nullptr);
  return std::string(gbk, bytes > 0 ? static_cast<size_t>(bytes) : 0);
}
