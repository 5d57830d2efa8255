#include <sys/resource.h>

#include <csignal>

#include "tests/servers/refused_save.h"

struct RefusedSave::State {
  rlimit old{};
  void (*oldHandler)(int) = nullptr;
};

RefusedSave::RefusedSave(const std::string&) : state_(std::make_unique<State>()) {
  state_->oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  getrlimit(RLIMIT_FSIZE, &state_->old);
  rlimit limit = state_->old;
  limit.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &limit);
}

RefusedSave::~RefusedSave() {
  setrlimit(RLIMIT_FSIZE, &state_->old);
  std::signal(SIGXFSZ, state_->oldHandler);
}
