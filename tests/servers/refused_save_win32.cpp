#include <windows.h>

#include <filesystem>

#include "tests/servers/refused_save.h"

struct RefusedSave::State {
  HANDLE holder = INVALID_HANDLE_VALUE;
};

RefusedSave::RefusedSave(const std::string& path) : state_(std::make_unique<State>()) {
  state_->holder = ::CreateFileW(std::filesystem::path(path).wstring().c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
}

RefusedSave::~RefusedSave() {
  if (state_->holder != INVALID_HANDLE_VALUE) ::CloseHandle(state_->holder);
}
