// Shared plumbing of the tempiola-cli commands: argument parsing with
// options before or after the arguments, and output in the terminal's
// encoding (the program's own text is GBK).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Exit status of a command that was called wrongly or given bad input.
inline constexpr int kExitUsage = 2;

struct OptionSpec {
  std::vector<std::string_view> withValue;  // e.g. "--rate"
  std::vector<std::string_view> flags;      // e.g. "--force"
};

class Args {
 public:
  // Parses argv[first..argc). "--" ends the options. False with a one-line
  // reason on an unknown option or an option that lacks its value.
  bool Parse(int argc, char** argv, int first, const OptionSpec& spec, std::string& error);

  const std::vector<std::string>& positional() const { return positional_; }
  std::optional<std::string> Value(std::string_view option) const;
  bool Flag(std::string_view option) const;
  bool WantsHelp() const { return help_; }

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::string, std::less<>> values_;
  std::vector<std::string> flags_;
  bool help_ = false;
};

// A line of program text (GBK) on stdout / stderr, in the terminal's encoding.
void PrintGbk(std::string_view gbk);
void PrintGbkError(std::string_view gbk);

// "tempiola-cli: <message>" on stderr; returns kExitUsage for `return Fail(...)`.
int Fail(std::string_view utf8Message);

// Usage line on stderr after a misuse; returns kExitUsage.
int Usage(std::string_view usage);

// The user's text for quoting in a one-line message: control characters
// become '?'.
std::string Printable(std::string_view text);

// Parses a whole decimal number; false on anything else or overflow.
bool ParseInt(std::string_view text, long long& value);

}  // namespace cli
