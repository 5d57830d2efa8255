// While it lives, the system refuses a save of the file at path, as a full
// disk would: on POSIX the process may not make a file beyond a few bytes;
// on Windows another program holds the file open without letting it be
// replaced.
#pragma once

#include <memory>
#include <string>

class RefusedSave {
 public:
  explicit RefusedSave(const std::string& path);
  ~RefusedSave();
  RefusedSave(const RefusedSave&) = delete;
  RefusedSave& operator=(const RefusedSave&) = delete;

 private:
  struct State;
  std::unique_ptr<State> state_;
};
