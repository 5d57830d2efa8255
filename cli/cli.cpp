#include "cli/cli.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/text_encoding.h"

namespace cli {
namespace {

bool Contains(const std::vector<std::string_view>& list, std::string_view name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

bool Args::Parse(int argc, char** argv, int first, const OptionSpec& spec, std::string& error) {
  bool optionsDone = false;
  for (int i = first; i < argc; ++i) {
    std::string_view a = argv[i];
    if (optionsDone || a.size() < 2 || a[0] != '-' || (a[1] >= '0' && a[1] <= '9')) {
      positional_.emplace_back(a);
      continue;
    }
    if (a == "--") {
      optionsDone = true;
      continue;
    }
    if (a == "--help" || a == "-h") {
      help_ = true;
      continue;
    }
    std::string_view name = a;
    std::optional<std::string_view> inlineValue;
    if (size_t eq = a.find('='); eq != std::string_view::npos) {
      name = a.substr(0, eq);
      inlineValue = a.substr(eq + 1);
    }
    if (Contains(spec.withValue, name)) {
      if (inlineValue) {
        values_[std::string(name)] = std::string(*inlineValue);
      } else if (i + 1 < argc) {
        values_[std::string(name)] = argv[++i];
      } else {
        error = std::string("option ") + std::string(name) + " needs a value";
        return false;
      }
    } else if (Contains(spec.flags, name) && !inlineValue) {
      flags_.emplace_back(name);
    } else {
      error = std::string("unknown option ") + std::string(a);
      return false;
    }
  }
  return true;
}

std::optional<std::string> Args::Value(std::string_view option) const {
  auto it = values_.find(option);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

bool Args::Flag(std::string_view option) const {
  return std::find(flags_.begin(), flags_.end(), option) != flags_.end();
}

void PrintGbk(std::string_view gbk) {
  std::string t = platform::GbkToTerminal(gbk);
  std::fwrite(t.data(), 1, t.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void PrintGbkError(std::string_view gbk) {
  std::string t = platform::GbkToTerminal(gbk);
  std::fwrite(t.data(), 1, t.size(), stderr);
  std::fputc('\n', stderr);
}

int Fail(std::string_view utf8Message) {
  std::fprintf(stderr, "tempiola-cli: %.*s\n", static_cast<int>(utf8Message.size()), utf8Message.data());
  return kExitUsage;
}

int Usage(std::string_view usage) {
  std::fprintf(stderr, "usage: tempiola-cli %.*s\n", static_cast<int>(usage.size()), usage.data());
  return kExitUsage;
}

std::string Printable(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return out;
}

bool ParseInt(std::string_view text, long long& value) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace cli
