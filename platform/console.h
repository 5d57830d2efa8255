// The command-line program's arguments and terminal: what arrives on the
// command line and what is written to standard output and error.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The program's arguments in the terminal's encoding (TerminalToGbk reads
// them). On Windows they are taken from the wide-character command line as
// UTF-8, whatever the system's code page, and the standard streams are put
// in binary mode so that output is the same bytes on both systems, and
// input the bytes that were sent.
class CommandLine {
 public:
  CommandLine(int argc, char** argv);
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  int argc() const { return static_cast<int>(args_.size()); }
  char** argv() { return pointers_.data(); }

 private:
  std::vector<std::string> args_;
  std::vector<char*> pointers_;  // into args_, null-terminated
};

// Writes text in the terminal's encoding (GbkToTerminal) to a standard
// stream. A Windows console gets it through the console's wide-character
// API, so Chinese text shows right whatever the console's code page; files
// and pipes get the bytes.
void WriteTerminal(std::FILE* stream, std::string_view text);

}  // namespace platform
