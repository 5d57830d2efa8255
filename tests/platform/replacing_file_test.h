// A scratch directory with a target path in it, and a whole replacement.
#pragma once

#include <cstring>
#include <string>

#include "platform/file.h"
#include "tests/scratch_dir.h"

class ReplacingFileTest : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    target_ = dir_ + "/data.bin";
  }

  static bool Commit(const std::string& target, const char* text) {
    platform::ReplacingFile out(target);
    return out.Open() && out.file().Write(text, std::strlen(text)) && out.Commit();
  }

  std::string target_;
};
