#include "cli/cli.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/console.h"
#include "platform/text_encoding.h"

namespace cli {
namespace {

bool Contains(const std::vector<std::string_view>& list, std::string_view name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

bool Args::Parse(int argc, char** argv, int first, const OptionSpec& options, std::string& error) {
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
    if (Contains(options.withValue, name)) {
      if (inlineValue) {
        values_[std::string(name)] = std::string(*inlineValue);
      } else if (i + 1 < argc) {
        values_[std::string(name)] = argv[++i];
      } else {
        error = std::string("option ") + std::string(name) + " needs a value";
        return false;
      }
    } else if (Contains(options.flags, name) && !inlineValue) {
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
  platform::WriteTerminal(stdout, platform::GbkToTerminal(EscapeControls(gbk, false)));
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void PrintGbkError(std::string_view gbk) {
  platform::WriteTerminal(stderr, platform::GbkToTerminal(EscapeControls(gbk, false)));
  std::fputc('\n', stderr);
}

void Report(std::string_view utf8Message) {
  const std::string line = "tempiola-cli: " + EscapeControls(utf8Message, true) + "\n";
  platform::WriteTerminal(stderr, line);
}

int Fail(std::string_view utf8Message) {
  Report(utf8Message);
  return kExitUsage;
}

int FailRun(std::string_view utf8Message) {
  Report(utf8Message);
  return kExitFailure;
}

std::optional<int> ParseCommand(int argc, char** argv, int first, const OptionSpec& options, std::string_view synopsis,
                                std::string_view help, Args& args) {
  std::string error;
  if (!args.Parse(argc, argv, first, options, error)) return Fail(error);
  if (!args.WantsHelp()) return std::nullopt;
  std::printf("usage: tempiola-cli %.*s\n%.*s", static_cast<int>(synopsis.size()), synopsis.data(),
              static_cast<int>(help.size()), help.data());
  return 0;
}

int Usage(std::string_view synopsis) {
  return Fail("usage: tempiola-cli " + std::string(synopsis) + " (see --help)");
}

std::string EscapeControls(std::string_view text, bool utf8) {
  std::string out;
  out.reserve(text.size());
  char hex[5];
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    // GBK has no C1 set: there 0xC2 0x80 is an ordinary character.
    const bool c1 = utf8 && c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(text[i + 1]) <= 0x9F;
    if (c < 0x20 || c == 0x7F) {
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else if (c1) {
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(text[++i]));
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool ParseInt(std::string_view text, long long& value) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace cli
