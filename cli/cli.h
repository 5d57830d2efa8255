// Shared plumbing of the tempiola-cli commands: argument parsing with
// options before or after the arguments, and output in the terminal's
// encoding (the program's own text is GBK).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "res/language.h"

namespace cli {

// Exit status of a command that was called wrongly or given bad input.
inline constexpr int kExitUsage = 2;
// Exit status of a command that was called rightly but could not do its
// work (a file that cannot be written, a device or server that fails).
inline constexpr int kExitFailure = 1;

struct OptionSpec {
  std::vector<std::string_view> withValue;  // e.g. "--rate"
  std::vector<std::string_view> flags;      // e.g. "--force"
};

class Args {
 public:
  // Parses argv[first..argc). "--" ends the options. False with a one-line
  // reason on an unknown option or an option that lacks its value.
  bool Parse(int argc, char** argv, int first, const OptionSpec& options, std::string& error);

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

// A line of program text (GBK) on stdout / stderr, in the terminal's
// encoding. Control characters are shown escaped (\x1B), so that no text
// from a file or an argument can drive the terminal.
void PrintGbk(std::string_view gbk);
void PrintGbkError(std::string_view gbk);
// A program text, in the language in use.
inline void PrintGbk(const res::Text& text) { PrintGbk(std::string_view(text)); }
inline void PrintGbkError(const res::Text& text) { PrintGbkError(std::string_view(text)); }

// "tempiola-cli: <message>" on stderr, one line, control characters escaped.
void Report(std::string_view utf8Message);

// Report, returning kExitUsage for `return Fail(...)` on bad input.
int Fail(std::string_view utf8Message);

// Report, returning kExitFailure for `return FailRun(...)` when the work
// itself failed.
int FailRun(std::string_view utf8Message);

// A command's arguments read: nothing where the command goes on, else the
// status it returns, its reason said (bad options) or its help printed
// ("usage: tempiola-cli <synopsis>", then the text).
std::optional<int> ParseCommand(int argc, char** argv, int first, const OptionSpec& options, std::string_view synopsis,
                                std::string_view help, Args& args);

// A one-line misuse message that names the command's synopsis and --help;
// returns kExitUsage.
int Usage(std::string_view synopsis);

// text with its control characters escaped as \xHH: the C0 set and DEL,
// and in UTF-8 text also the C1 set (U+0080 to U+009F).
std::string EscapeControls(std::string_view text, bool utf8);

// Parses a whole decimal number; false on anything else or overflow.
bool ParseInt(std::string_view text, long long& value);

}  // namespace cli
