#include "platform/console.h"

namespace platform {

CommandLine::CommandLine(int argc, char** argv) : args_(argv, argv + argc) {
  for (std::string& a : args_) pointers_.push_back(a.data());
  pointers_.push_back(nullptr);
}

void WriteTerminal(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

}  // namespace platform
