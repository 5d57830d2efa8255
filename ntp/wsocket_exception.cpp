#include "ntp/wsocket_exception.h"

#include <cstring>
#include <string>

#include "ntp/ntp_errors.h"
#include "platform/sockets.h"
#include "platform/system_message.h"

namespace {

// Length of the longest prefix of text within limit bytes that ends on a
// character boundary (GBK lead bytes are 0x81..0xFE).
std::size_t WholeCharacters(const std::string& text, std::size_t limit) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t width = (byte >= 0x81 && byte <= 0xFE && i + 1 < text.size()) ? 2 : 1;
    if (i + width > limit) break;
    i += width;
  }
  return i;
}

}  // namespace

CWSocketException::~CWSocketException() = default;

BOOL CWSocketException::GetErrorMessage(char* buffer, UINT capacity, UINT* helpContext) const {
  if (helpContext) *helpContext = 0;
  if (buffer == nullptr || capacity == 0) throw new CInvalidArgException;
  std::string text;
  if (const char* own = NtpErrorText(m_nError)) {
    text = own;
  } else if (!platform::SystemErrorMessage(m_nError, text)) {
    buffer[0] = '\0';
    return FALSE;
  }
  const std::size_t length = WholeCharacters(text, capacity - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return TRUE;
}

void ThrowSocketError(int errorCode) {
  if (errorCode == 0) errorCode = platform::LastSocketError();
  throw new CWSocketException(errorCode);
}
