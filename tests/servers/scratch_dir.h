// A scratch directory with the path of a Server.dat in it.
#pragma once

#include "tests/scratch_dir.h"

class ScratchDirTest : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    path_ = dir_ + "/Server.dat";
  }

  std::string path_;
};
