// A fresh directory under the system's temporary directory for each test
// (private to the user), removed with all it holds afterwards; and
// whole-file reads and writes for checking what lands there.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class ScratchDir : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    std::random_device entropy;
    for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
      char name[32];
      std::snprintf(name, sizeof name, "tempiola-test-%08x", entropy());
      const fs::path dir = fs::temp_directory_path() / name;
      std::error_code error;
      if (fs::create_directory(dir, error)) dir_ = dir.string();
    }
    ASSERT_FALSE(dir_.empty());
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
  }
  void TearDown() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  static std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  }
  static void Spit(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::size_t EntriesInDir() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir_), {}));
  }

  std::string dir_;
};
