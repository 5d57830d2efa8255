#include "platform/text_encoding.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <cstring>

namespace platform {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of in; on an invalid sequence either substitutes
  // (replacement != nullptr, skipping one byte) or fails.
  bool Run(std::string_view in, std::string& out, const char* replacement) {
    out.clear();
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buf[1024];
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      size_t rc = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<size_t>(dst - buf));
      if (rc != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      if (!replacement) return false;
      out += replacement;
      ++src;
      --left;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return true;
  }

 private:
  iconv_t cd_;
};

const char* TerminalCodeset() {
  // The program never changes its own locale; ask the environment's.
  static const char* codeset = [] {
    locale_t loc = newlocale(LC_CTYPE_MASK, "", nullptr);
    static char name[64] = "UTF-8";
    if (loc != nullptr) {
      const char* cs = nl_langinfo_l(CODESET, loc);
      if (cs && *cs && std::strcmp(cs, "ANSI_X3.4-1968") != 0) {
        std::strncpy(name, cs, sizeof name - 1);
      }
      freelocale(loc);
    }
    return name;
  }();
  return codeset;
}

bool IsGbkCodeset(const char* cs) {
  return strcasecmp(cs, "GBK") == 0 || strcasecmp(cs, "CP936") == 0 || strcasecmp(cs, "GB2312") == 0 ||
         strcasecmp(cs, "GB18030") == 0;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  Converter c("UTF-8", "GBK");
  std::string out;
  if (c.ok()) c.Run(gbk, out, "\xEF\xBF\xBD");
  return out;
}

bool Utf8ToGbk(std::string_view utf8, std::string& out) {
  Converter c("GBK", "UTF-8");
  if (!c.ok() || !c.Run(utf8, out, nullptr)) {
    out.clear();
    return false;
  }
  return true;
}

std::string GbkToTerminal(std::string_view gbk) {
  const char* cs = TerminalCodeset();
  if (IsGbkCodeset(cs)) return std::string(gbk);
  Converter c(cs, "GBK");
  std::string out;
  if (!c.ok() || !c.Run(gbk, out, "?")) return GbkToUtf8(gbk);
  return out;
}

bool TerminalToGbk(std::string_view text, std::string& out) {
  const char* cs = TerminalCodeset();
  if (IsGbkCodeset(cs)) {
    out.assign(text);
    return true;
  }
  Converter c("GBK", cs);
  if (!c.ok() || !c.Run(text, out, nullptr)) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace platform
