#include "platform/system_message.h"

#include <netdb.h>

#include <cstring>

namespace platform {
namespace {

bool IsResolverCode(int code) {
  static const int kCodes[] = {
      EAI_BADFLAGS, EAI_NONAME, EAI_AGAIN,    EAI_FAIL,       EAI_FAMILY,       EAI_SOCKTYPE,
      EAI_SERVICE,  EAI_MEMORY, EAI_SYSTEM,   EAI_OVERFLOW,   EAI_NODATA,       EAI_ADDRFAMILY,
      EAI_INPROGRESS, EAI_CANCELED, EAI_NOTCANCELED, EAI_ALLDONE, EAI_INTR,     EAI_IDN_ENCODE,
  };
  for (int known : kCodes) {
    if (known == code) return true;
  }
  return false;
}

}  // namespace

bool SystemErrorMessage(int code, std::string& text) {
  text.clear();
  const char* message = nullptr;
  if (code < 0) {
    if (IsResolverCode(code)) message = ::gai_strerror(code);
  } else if (code > 0) {
    message = ::strerrordesc_np(code);  // null for a number with no meaning
  }
  if (message == nullptr || *message == '\0') return false;
  text = message;
  return true;
}

}  // namespace platform
