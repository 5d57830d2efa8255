#include "platform/console.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include "platform/text_encoding.h"

namespace platform {
namespace {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = static_cast<int>(utf8.size());
  const int wide = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, nullptr, 0);
  std::wstring w(static_cast<std::size_t>(wide > 0 ? wide : 0), L'\0');
  if (wide > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, w.data(), wide);
  return w;
}

}  // namespace

CommandLine::CommandLine(int argc, char** argv) {
  int count = 0;
  if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
    for (int i = 0; i < count; ++i) args_.push_back(Utf16ToUtf8(wide[i]));
    ::LocalFree(wide);
  } else {
    args_.assign(argv, argv + argc);
  }
  for (std::string& a : args_) pointers_.push_back(a.data());
  pointers_.push_back(nullptr);
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // A recording piped in (decode -) is bytes, not text.
  _setmode(_fileno(stdin), _O_BINARY);
}

void WriteTerminal(std::FILE* stream, std::string_view text) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) {
    std::fwrite(text.data(), 1, text.size(), stream);
    return;
  }
  // What the stream holds goes first, so the order of the lines stays.
  std::fflush(stream);
  const std::wstring wide = Widen(text);
  DWORD written = 0;
  ::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

}  // namespace platform
